#include "dialogs/DiaAbout.h"

#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "dialogs/URLLinkButton.h"
#include "imaging/DIB.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

CDiaAbout::CDiaAbout(CSettingsStore& store, CPlatform& platform, QString programFolder, QWidget* parent)
    : CDiaBase(kHelpTopic, parent), m_store(store), m_programFolder(std::move(programFolder))
{
    setWindowTitle(tr("Info über..."));
    m_logoArea = new QWidget(this);
    m_logoArea->setFixedSize(200, 200);
    m_logoArea->setAccessibleName(tr("Logo"));

    m_version = new QLabel(LoadString(Str::Product), this);
    QFont bold = font();
    bold.setPixelSize(16);
    bold.setBold(true);
    bold.setStyleHint(QFont::SansSerif);
    m_version->setFont(bold);
    m_version->setAlignment(Qt::AlignCenter);

    auto* notice = new QVBoxLayout;
    notice->addWidget(m_version);
    for (const QString& line :
         {tr("Copyright © 2004-2026"), tr("Zentrel Software GmbH"), tr("Musterstadt")}) {
        auto* l = new QLabel(line, this);
        l->setAlignment(Qt::AlignCenter);
        notice->addWidget(l);
    }
    m_link = new CURLLinkButton(*platform.url, this);
    m_link->setText(QString::fromLatin1(FOLIVANT_HOMEPAGE)); // the top CMakeLists.txt names it
    m_link->setProperty("controlId", 1018);
    notice->addWidget(m_link, 0, Qt::AlignHCenter);
    notice->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(m_logoArea);
    top->addLayout(notice);

    m_doNotShow = new QCheckBox(tr("Bei Programmstart nicht anzeigen."), this);
    // The administrator's value counts first; a fresh installation has none and reads as "0" here.
    const QString about =
        store.ReadString(LoadString(Str::SectionMisc), LoadString(Str::SettingAbout), QStringLiteral("0"));
    m_doNotShow->setChecked(about == QStringLiteral("1"));

    auto* buttons = new QDialogButtonBox(Qt::Horizontal, this);
    buttons->setCenterButtons(true);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDiaAbout::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_doNotShow);
    layout->addWidget(buttons);
    ok->setFocus();
}

QRect CDiaAbout::LogoRect() const
{
    return m_logoArea->geometry();
}

void CDiaAbout::accept()
{
    m_store.WriteProfileString(LoadString(Str::SectionMisc), LoadString(Str::SettingAbout),
                               m_doNotShow->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    QDialog::accept();
}

void CDiaAbout::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    m_logoDrawn = false;
    QFile file(m_programFolder + u'/' + LoadString(Str::LogoFile));
    if (!file.open(QIODevice::ReadOnly)) {
        return; // no logo, no message
    }
    CDIB logo;
    if (logo.Load(file)) {
        QPainter p(this);
        const QRect r = LogoRect();
        logo.Draw(p, r.x(), r.y(), r.width(), r.height());
        m_logoDrawn = true;
    }
}
