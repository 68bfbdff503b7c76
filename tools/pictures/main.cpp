#include "TPictureGenerator.h"

#include <QGuiApplication>
#include <QTextStream>

// Writes the default and panel pictures into the program folder given as the only argument.
int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "Usage: quelnor-pictures PROGRAM_FOLDER" << Qt::endl;
        return 2;
    }
    QString error;
    if (!TPictureGenerator::WriteAll(app.arguments()[1], error)) {
        err << error << Qt::endl;
        return 1;
    }
    return 0;
}
