#include "app/CSkimblerApp.h"
#include "app/MessageDialog.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Skimbler"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    MessageDialog::Install();

    CSkimblerApp app;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!app.InitInstance(arguments))
        return 1;
    return QApplication::exec();
}
