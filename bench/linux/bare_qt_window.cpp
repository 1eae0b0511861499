// The reference for Tavrel's start-up on Linux: a bare Qt window of the
// main window's size, with nothing in it.
#include <QApplication>
#include <QWidget>

#include "ui/layout.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto& layout = tavrel::Form1Layout();
    QWidget window;
    window.setFixedSize(tavrel::TwipsToPixels(layout.width), tavrel::TwipsToPixels(layout.height));
    window.setWindowTitle(QStringLiteral("Bare"));
    window.show();
    return QApplication::exec();
}
