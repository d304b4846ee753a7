#pragma once

// CPU time consumed so far by every thread of this process (user + system), in seconds.
double ProcessCpuSeconds();

// The 1-minute load average of the machine; negative when unknown.
double LoadAverage1();
