#include "ui/frmAbout.h"

#include <QFrame>
#include <QLocale>
#include <QStringList>
#include <QSysInfo>
#include <clocale>
#include <sys/utsname.h>
#include <unicode/uversion.h>
#include <QLabel>
#include <QPushButton>

#include "platform/folderfacts.h"
#include "platform/metadata.h"
#include "ui/appicon.h"
#include "version.h"

const char* const kAppTitle = "Zelvar";
const char* const kAppDescription = "Aplikace pro hromadné přejmenovávání souborů s širokými možnostmi";
const char* const kAppComments =
    "Záměnné znaky:  ? otazník = znak zachován,  / lomítko = znak vypustit, * hvězdička = zbytek "
    "(pouze 1×), : dvojtečka = počitadlo (počet=platná místa), pro datum a čas: \\y = RRRR, "
    "\\r = RR, \\m = MM, \\d = DD, \\h = HH, \\n = NN, \\s = SS, jiný znak (povolený v názvu) = "
    "vložit, Stejné = stejná jména při různých příiponách (pro číslování). Název nesmí být prázdný. "
    "Před přejmenování je provedena kontrola na duplicitu názvů a zakázané znaky. Není-li  v testu "
    "žádný povolený případ přejmenování, je tlačítko Přejmenovat nepřístupné. Po jakékoliv změně "
    "vstupu nebo výstupu se znovu automaticky provádí  test.";

namespace {

const char* const kMakerLine = "Vyvíjí tým Zelvar, šířeno bez záruky.";

QFont aboutFont(double points, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& geometry, const QFont& font) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

}  // namespace

QString versionText() { return QStringLiteral("Verze ") + QString::fromLatin1(zelvar::kVersion); }

frmAbout::frmAbout(zelvar::Dialogs& dialogs, QWidget* parent, std::string folder)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs), folder_(std::move(folder)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("O aplikaci  Zelvar"));
    setModal(true);
    // 6855 x 4995 twips.
    setFixedSize(457, 333);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(16, 16, 48, 48);
    picIcon->setPixmap(zelvarIcon().pixmap(48, 48));

    lblTitle = label(this, "lblTitle", QString::fromUtf8(kAppTitle), QRect(80, 14, 360, 30), aboutFont(16, true));
    lblVersion = label(this, "lblVersion", versionText(), QRect(80, 46, 360, 18), aboutFont(9));
    lblDescription = label(this, "lblDescription",
                           QString::fromUtf8(kAppDescription) + QStringLiteral("\n\n") + QString::fromUtf8(kMakerLine),
                           QRect(80, 70, 360, 66), aboutFont(9));
    lblDescription->setWordWrap(true);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(16, 140, 425, 2);

    lblDisclaimer =
        label(this, "lblDisclaimer", QString::fromUtf8(kAppComments), QRect(16, 148, 425, 140), aboutFont(8));
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(226, 296, 100, 26);
    cmdOK->setFont(aboutFont(9));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(334, 296, 107, 26);
    cmdSysInfo->setFont(aboutFont(9));
    cmdSysInfo->setAutoDefault(false);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() { dialogs_.messageBox(systemInfoText(folder_), zelvar::box::information); }

zelvar::Text systemInfoText(const std::string& folder) {
    QStringList lines;
    lines << QStringLiteral("Zelvar ") + QString::fromLatin1(zelvar::kVersion);
    lines << QStringLiteral("Qt %1 (přeloženo s Qt %2)")
                 .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR));
    UVersionInfo icu;
    u_getVersion(icu);
    char icuText[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(icu, icuText);
    lines << QStringLiteral("ICU ") + QString::fromLatin1(icuText);
    lines << QStringLiteral("libexiv2 %1, libheif %2, libavformat %3")
                 .arg(QString::fromStdString(zelvar::exiv2Version()), QString::fromStdString(zelvar::heifVersion()),
                      QString::fromStdString(zelvar::avformatVersion()));
    lines << QStringLiteral("Systém: ") + QSysInfo::prettyProductName();
    struct utsname un;
    if (uname(&un) == 0)
        lines << QStringLiteral("Jádro: %1 %2 %3")
                     .arg(QString::fromUtf8(un.sysname), QString::fromUtf8(un.release), QString::fromUtf8(un.machine));
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    lines << QStringLiteral("Národní prostředí: %1 (%2)")
                 .arg(QString::fromUtf8(ctype ? ctype : "?"), QLocale::system().name());
    if (!folder.empty()) {
        lines << QStringLiteral("Složka: ") + QString::fromUtf8(folder);
        const zelvar::FolderFacts facts = zelvar::folderFacts(folder);
        if (!facts.known) {
            lines << QStringLiteral("Souborový systém: nelze zjistit");
        } else {
            QString fs = QStringLiteral("Souborový systém: ") +
                         (facts.fsType.empty() ? QStringLiteral("neznámý") : QString::fromUtf8(facts.fsType));
            fs += facts.foldsCase ? QStringLiteral(", nerozlišuje velká a malá písmena")
                                  : QStringLiteral(", rozlišuje velká a malá písmena");
            if (facts.nameMax > 0) fs += QStringLiteral(", nejdelší jméno %1 bajtů").arg(facts.nameMax);
            lines << fs;
        }
    }
    return zelvar::fromUtf8(lines.join(QStringLiteral("\r\n")).toStdString());
}
