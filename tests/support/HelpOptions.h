#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The long options a command's --help lists, in its order ("--port", ...); --help and
// --version, which every command has, are left out.
inline QStringList OptionsOfHelp(const QString& help) {
    static const QRegularExpression option(R"(^  (?:-\w, )?(--[\w-]+))",
                                           QRegularExpression::MultilineOption);
    QStringList names;
    for (const auto& match : option.globalMatch(help)) {
        if (match.captured(1) != QLatin1String("--help") &&
            match.captured(1) != QLatin1String("--version"))
            names << match.captured(1);
    }
    return names;
}
