#pragma once

#include <QByteArray>
#include <QString>

// The strict check of a message string given on the command line. The master itself is
// lenient with the program's own fixed messages (it reads the first bytes it needs and
// ignores the rest); a message typed by a person is refused instead, before anything is
// sent, when it has more or fewer fields than its function takes, a trailing comma or
// blank, separators other than single commas, a quantity of 0 for a read, or anything
// the master would not send. Empty when the message will do, else the reason.
QString MessageProblem(const QByteArray& message);
