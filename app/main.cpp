#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString title = duva::applicationTitle(QCoreApplication::applicationFilePath());
    duva::TForm1 window(duva::FormDeps::system(title));
    window.show();
    return app.exec();
}
