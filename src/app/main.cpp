// vorla: the desktop viewer.
#include "app/Application.h"

#include <QApplication>

int main(int argc, char** argv)
{
    SetUpApplicationIdentity();
    QApplication app(argc, argv);
    CMyvorla_ltApp vorla;
    if (!vorla.InitInstance(QApplication::arguments())) return 1;
    return app.exec();
}
