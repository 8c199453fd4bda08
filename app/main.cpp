#include "app/mainwindow.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString title = duva::applicationTitle(QCoreApplication::applicationFilePath());
    std::unique_ptr<duva::TForm1> window;
    try {
        window = std::make_unique<duva::TForm1>(duva::FormDeps::system(title));
    } catch (const duva::Exception& e) {
        // Without its UDP endpoint the window cannot work: say why and end.
        duva::QtMessagePresenter().error(nullptr, title, duva::errorBoxText(e.message()));
        return 1;
    }
    window->show();
    return app.exec();
}
