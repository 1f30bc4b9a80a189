#include "app/CAboutBox.h"

#include "app/AppIcon.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CAboutBox::CAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About"));
    setModal(true);

    auto *icon = new QLabel(this);
    icon->setPixmap(AppIcon::Pixmap(32, devicePixelRatioF()));
    icon->setObjectName(QStringLiteral("aboutIcon"));

    auto *version = new QLabel(QStringLiteral("Skimbler Version 1.0"), this);
    version->setTextFormat(Qt::PlainText);
    auto *notice = new QLabel(QStringLiteral("Prepares one textured surface for real-time renderers."), this);
    notice->setTextFormat(Qt::PlainText);

    auto *ok = new QPushButton(QString::fromUtf8("\xe7\xa2\xba\xe5\xae\x9a"), this);  // "OK"
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(notice, 1, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
