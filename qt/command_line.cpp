#include "qt/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <iostream>

#include "cli/command_line.h"
#include "qt/settings_store.h"

namespace tavrel {

std::optional<int> RunCommandLine(int argc, char** argv, StartWith& start) {
    QCoreApplication app(argc, argv);  // no display is needed
    QCommandLineParser parser;
    // Help and version are options like the others: their texts are the
    // program's own, the same on Windows.
    for (const CommandOption& option : CommandLineOptions()) {
        const QString name = QString::fromUtf8(option.name.data(), static_cast<qsizetype>(option.name.size()));
        parser.addOption(QCommandLineOption(name, QString(), option.takesValue ? QStringLiteral("value") : QString()));
    }
    CommandLine commandLine;
    if (!parser.parse(QCoreApplication::arguments())) commandLine.parseError = parser.errorText().toStdString();
    for (const CommandOption& option : CommandLineOptions()) {
        const QString name = QString::fromUtf8(option.name.data(), static_cast<qsizetype>(option.name.size()));
        if (!parser.isSet(name)) continue;
        if (!option.takesValue) commandLine.set(option.name);
        for (const QString& value : parser.values(name)) commandLine.set(option.name, value.toStdString());
    }
    for (const QString& argument : parser.positionalArguments()) commandLine.arguments.push_back(argument.toStdString());

    if (const std::optional<StartWith> window = WindowStartOf(commandLine)) {
        start = *window;
        return std::nullopt;
    }
    SettingsStore settings;
    ConsoleSystem system{[&settings](const std::string& key) { return settings.read(QString::fromStdString(key)); },
                         SystemEnvironment()};
    return tavrel::RunCommandLine(commandLine, system, std::cout, std::cerr);
}

}  // namespace tavrel
