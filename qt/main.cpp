// Tavrel: a mod manager for Command and Conquer Generals and Zero Hour. With
// arguments it runs one command on the terminal; without, it opens its window.
#include <QApplication>

#include "qt/command_line.h"
#include "qt/form1.h"
#include "qt/settings_store.h"

int main(int argc, char** argv) {
    if (argc > 1) return tavrel::RunCommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tavrel.Tavrel"));
    tavrel::SettingsStore settings;
    tavrel::Form1 form(settings, tavrel::SystemEnvironment());
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
