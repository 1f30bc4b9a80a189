#include "app/CAboutBox.h"

#include "app/AppIcon.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CAboutBox::CAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("About"));
    setModal(true);

    auto *icon = new QLabel(this);
    icon->setPixmap(AppIcon::Pixmap(32, devicePixelRatioF()));
    icon->setObjectName(QStringLiteral("aboutIcon"));

    auto *version = new QLabel(tr("Skimbler Version 1.0"), this);
    version->setTextFormat(Qt::PlainText);
    auto *notice = new QLabel(tr("Prepares one textured surface for real-time renderers."), this);
    notice->setTextFormat(Qt::PlainText);

    auto *ok = new QPushButton(tr("確定"), this);
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
