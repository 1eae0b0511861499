// Tavrel: a mod manager for Command and Conquer Generals and Zero Hour.
#include <QApplication>

#include "qt/form1.h"
#include "qt/settings_store.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tavrel.Tavrel"));
    tavrel::SettingsStore settings;
    tavrel::Form1 form(settings, tavrel::SystemEnvironment());
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
