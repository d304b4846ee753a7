#pragma once

class Shell;

// "Execute → Commissioning Report…": asks for the site, feeder, technician, notes and
// paper, takes a fresh snapshot of the connected meter (progress and Cancel; the poll
// pauses meanwhile) and shows, prints or saves the report.
void RegisterCommissioningReport(Shell& shell);
