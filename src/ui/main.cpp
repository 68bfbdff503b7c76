#include "TForm1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Visual Quelnor 2"));
    TForm1 window(QCoreApplication::applicationDirPath());
    window.show();
    return app.exec();
}
