// Tavrel: a mod manager for Command and Conquer Generals and Zero Hour. With
// arguments it runs one command on the terminal; without, it opens its window.
#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QFontDatabase>

#include "qt/command_line.h"
#include "qt/form1.h"
#include "qt/settings_store.h"

int main(int argc, char** argv) {
    tavrel::StartWith start;
    if (argc > 1) {
        if (const std::optional<int> status = tavrel::RunCommandLine(argc, argv, start)) return *status;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tavrel.Tavrel"));
    // The fonts that come with the program (the Linux bundle has some, in
    // "fonts" beside it) serve only where the system has none to offer: its
    // database then holds no more than the generic names that fontconfig
    // answers to even without a font.
    const QStringList generic{QStringLiteral("Monospace"), QStringLiteral("Sans Serif"), QStringLiteral("Serif")};
    const QStringList known = QFontDatabase::families();
    if (std::all_of(known.begin(), known.end(), [&](const QString& family) { return generic.contains(family); })) {
        const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
        QStringList families;
        for (const QString& file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files)) {
            families += QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(fonts.filePath(file)));
        }
        if (!families.isEmpty()) QApplication::setFont(QFont(families.first()));
    }
    tavrel::SettingsStore settings;
    tavrel::Form1 form(settings, tavrel::SystemEnvironment());
    form.Form_Load(start);
    form.show();
    return QApplication::exec();
}
