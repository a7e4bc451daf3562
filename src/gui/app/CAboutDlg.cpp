#include "app/CAboutDlg.h"

#include "app/ProgramIcon.h"
#include "common/DialogBuilder.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr DuRect kIconRect{11, 17, 20, 20};
constexpr DuRect kVersionRect{40, 10, 119, 8};
constexpr DuRect kCopyrightRect{40, 25, 119, 8};
constexpr DuRect kOkRect{178, 7, 50, 14};

}  // namespace

QString ProgramFileVersion()
{
    return QStringLiteral(FOLIVO_FILE_VERSION);
}

QString ShortVersion(const QString& fileVersion)
{
    QString version;
    int commas = 0;
    for (const QChar c : fileVersion) {
        if (c == u',') {
            if (commas == 2)
                break;
            ++commas;
            version += u'.';
        } else if (c != u' ') {
            version += c;
        }
    }
    return version;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    const DialogBuilder builder(this, QStringLiteral("About Folivo Desktop"), 235, 55,
                                DialogFrame::FixedWithWindowMenu);
    const DialogUnits& units = builder.Units();

    auto* icon = new QLabel(this);
    icon->setGeometry(units.Map(kIconRect));
    const int side = std::min(icon->width(), icon->height());
    icon->setPixmap(ProgramIcon().pixmap(side, side));
    icon->setAlignment(Qt::AlignCenter);
    icon->setAccessibleName(QStringLiteral("Folivo Converter icon"));

    auto* version = new QLabel(QStringLiteral("Folivo Converter version ") + ShortVersion(ProgramFileVersion()), this);
    builder.Place(version, kVersionLine, kVersionRect, version->text());
    auto* copyright = new QLabel(QStringLiteral("Copyright \u00a9 2026 Kavvan Software"), this);
    copyright->setGeometry(units.Map(kCopyrightRect));

    QPushButton* ok = builder.AddButton(kOk, QStringLiteral("OK"), kOkRect);
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
