// The Macros and Station menus, their settings in "Dervalo-extra.ini", the
// rig pane on the status line and the contacts handed to the main logger.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include "host/CharTable.h"
#include "logbook/Adif.h"
#include "logbook/LogBookRecord.h"
#include "rig/Bands.h"
#include "shell/Clock.h"
#include "shell/ExtraSettings.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"
#include "shell/Widgets.h"
#include "station/Evening.h"
#include "station/StationForms.h"

void THoofdForm::BuildEveningMenus(QMenuBar* bar) {
    // No Alt letters: the letters free in the menu bar are taken by the
    // shortcuts of the Action menu's items (Alt+T, Alt+R, ...).
    QMenu* macros = bar->addMenu(QStringLiteral("Macros"));
    macros->setObjectName(QStringLiteral("MacrosMenu"));
    for (int i = 0; i < Macros::kCount; ++i) {
        auto* a = macros->addAction(QString());
        a->setObjectName(QStringLiteral("MenuMacro%1").arg(i + 1));
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + (i + 1) % 10)));
        connect(a, &QAction::triggered, this, [this, i] { Guarded([&] { SendMacro(i); }); });
        evening_->macroActions << a;
    }
    macros->addSeparator();
    Item(macros, "MenuEditMacros", QStringLiteral("Edit macros…"), {},
         &THoofdForm::MenuEditMacrosClick);

    QMenu* station = bar->addMenu(QStringLiteral("Station"));
    station->setObjectName(QStringLiteral("StationMenu"));
    Item(station, "MenuRig", QStringLiteral("Rig…"), {}, &THoofdForm::MenuRigClick);
    Item(station, "MenuLogging", QStringLiteral("Logging…"), {}, &THoofdForm::MenuLoggingClick);
    Item(station, "MenuMyStation", QStringLiteral("My station…"), {},
         &THoofdForm::MenuMyStationClick);
}

void THoofdForm::LoadEveningSettings() {
    Evening& e = *evening_;
    const auto value = [this](const char* key, const QString& fallback = {}) {
        return ExtraSettings::ReadValue(folder_, key, fallback).trimmed();
    };
    for (int i = 0; i < Macros::kCount; ++i)
        e.macros[i] = ExtraSettings::ReadValue(folder_, Macros::SettingKey(i), Macros::Default(i));
    e.utcStamp = value(Evening::kUtcStampKey) == QLatin1String("on");
    e.rigSetting = RigSetting::Parse(value(Evening::kRigKey)).value_or(RigSetting{});
    e.logWsjtx = value(Evening::kLogWsjtxKey);
    e.logAdifUdp = value(Evening::kLogAdifUdpKey);
    e.myLocator = value(Evening::kMyLocatorKey);
    e.operatorCall = value(Evening::kOperatorKey);
    e.band = value(Evening::kBandKey);
    e.sender.SetTargets(e.logWsjtx, e.logAdifUdp);
    ShowMacroItems();
    StartRig();
}

bool THoofdForm::KeepEveningSettings(const QList<QPair<QByteArray, QString>>& values) {
    QString path;
    if (ExtraSettings::WriteValues(folder_, values, path)) return true;
    Warning(QStringLiteral("Cannot write %1").arg(path));
    return false;
}

void THoofdForm::ShowMacroItems() {
    for (int i = 0; i < Macros::kCount; ++i) {
        QString text = evening_->macros[i];
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        evening_->macroActions[i]->setText(text.isEmpty() ? QStringLiteral("(empty)") : text);
    }
}

// ---- macros ----

void THoofdForm::SendMacro(int index) {
    if (index < 0 || index >= Macros::kCount) return;
    Macros::Values v;
    v.myCall = st.MyCall;
    v.call = Pane3->text().trimmed().isEmpty() ? st.HisCall : Pane3->text();
    const WorkedBeforeLookup found = LastContactWith(v.call);
    v.name = found.name;
    v.qth = found.qth;
    v.utc = NowUtc();
    const qint64 hz = RigFrequencyHz();
    v.band = hz ? Bands::FromHz(hz) : evening_->band;
    v.freq = hz ? Bands::Mhz4(hz) : QString();
    const QByteArray bytes = CharTable::ToBytes(Macros::Expand(evening_->macros[index], v));
    // Exactly as if typed: each key shows in the transmit window and goes
    // through the typing path (the same states let it out, the same frames).
    QTextCursor end = ZendWindow->textCursor();
    end.movePosition(QTextCursor::End);
    ZendWindow->setTextCursor(end);
    for (const char c : bytes) {
        ZendWindow->insertPlainText(c == '\r' ? QStringLiteral("\n")
                                              : CharTable::ToString(QByteArray(1, c)));
        ZendWindowKeyPress(quint8(c));
    }
}

void THoofdForm::MenuEditMacrosClick() {
    QStringList texts;
    for (const QString& m : evening_->macros)
        texts << m;
    TMacroEditForm form(texts, this);
    if (prompts().ShowModal(form) != QDialog::Accepted) return;
    QList<QPair<QByteArray, QString>> values;
    for (int i = 0; i < Macros::kCount; ++i) {
        evening_->macros[i] = form.Edits[i]->text();
        values.append({Macros::SettingKey(i), evening_->macros[i]});
    }
    ShowMacroItems();
    KeepEveningSettings(values);
}

// ---- station ----

void THoofdForm::MenuRigClick() {
    TRigForm form(evening_->rigSetting, this);
    if (prompts().ShowModal(form) != QDialog::Accepted) return;
    const std::optional<RigSetting> chosen = form.Chosen();
    if (!chosen) {
        Warning(QStringLiteral("The rig setting is not complete: nothing changed"));
        return;
    }
    evening_->rigSetting = *chosen;
    KeepEveningSettings({{Evening::kRigKey, chosen->ToText()}});
    StartRig();
}

void THoofdForm::MenuLoggingClick() {
    TLoggingForm form(evening_->logWsjtx, evening_->logAdifUdp, evening_->utcStamp, this);
    if (prompts().ShowModal(form) != QDialog::Accepted) return;
    evening_->logWsjtx = form.Wsjtx();
    evening_->logAdifUdp = form.AdifUdp();
    evening_->utcStamp = form.UtcStampCheck->isChecked();
    evening_->sender.SetTargets(evening_->logWsjtx, evening_->logAdifUdp);
    evening_->logOutFailureShown = false;
    KeepEveningSettings({{Evening::kLogWsjtxKey, evening_->logWsjtx},
                         {Evening::kLogAdifUdpKey, evening_->logAdifUdp},
                         {Evening::kUtcStampKey, evening_->utcStamp ? "on" : "off"}});
}

void THoofdForm::MenuMyStationClick() {
    TMyStationForm form(evening_->myLocator, evening_->operatorCall, this);
    if (prompts().ShowModal(form) != QDialog::Accepted) return;
    evening_->myLocator = form.LocatorEdit->text().trimmed();
    evening_->operatorCall = form.OperatorEdit->text().trimmed().toUpper();
    KeepEveningSettings({{Evening::kMyLocatorKey, evening_->myLocator},
                         {Evening::kOperatorKey, evening_->operatorCall}});
}

// ---- the rig ----

void THoofdForm::StartRig() {
    evening_->rig.reset();
    if (evening_->rigSetting.kind != RigSetting::Kind::None) {
        evening_->rig = std::make_unique<Rig>(MakeHamlibDriver(evening_->rigSetting));
        connect(evening_->rig.get(), &Rig::Changed, this, &THoofdForm::ShowRigPane);
    }
    ShowRigPane();
    LayOutRigPane();
}

qint64 THoofdForm::RigFrequencyHz() const {
    return evening_->rig ? evening_->rig->FrequencyHz() : 0;
}

bool THoofdForm::HasRig() const {
    return evening_->rig != nullptr;
}

void THoofdForm::ShowRigPane() {
    TPane* pane = evening_->rigPane;
    if (!pane) return;
    pane->setVisible(HasRig());
    if (!HasRig()) return;
    const qint64 hz = RigFrequencyHz();
    SetPane(pane, hz ? Bands::PaneText(hz) : QStringLiteral("Rig: no answer"));
}

void THoofdForm::LayOutRigPane() {
    if (!evening_->rigPane) {
        evening_->rigPane = new TPane(Statusbalk);
        evening_->rigPane->setObjectName(QStringLiteral("RigPane"));
        evening_->rigPane->setToolTip(QStringLiteral("Rig frequency and band"));
        evening_->rigPane->setFrameShape(QFrame::Panel);
        evening_->rigPane->setFrameShadow(QFrame::Sunken);
        evening_->rigPane->setAutoFillBackground(true);
        evening_->rigPane->setIndent(2);
        ShowRigPane();
    }
    if (!HasRig() || Panes.isEmpty()) return;
    // With a rig, the panes make room for a ninth one at their end.
    const int total = Panes.last()->geometry().right() + 3;
    const int pw = total / 9 - 3;
    int left = 3;
    for (QLabel* p : Panes) {
        p->setGeometry(left, p->y(), pw, p->height());
        left += pw + 3;
    }
    evening_->rigPane->setGeometry(left, Panes.last()->y(), pw, Panes.last()->height());
}

// ---- contacts to the main logger ----

void THoofdForm::HandContactOn(const QByteArray& adifRecord) {
    if (evening_->logWsjtx.isEmpty() && evening_->logAdifUdp.isEmpty()) return;
    const QByteArray adif =
        Adif::Header(QString::fromLatin1(DervaloState::kVersion), clock().Now()) + adifRecord;
    evening_->sender.Send(adif);
}

void THoofdForm::NoteLogOutFailure(const QString& reason) {
    // Once, on the status line: never a box per contact.
    if (evening_->logOutFailureShown) return;
    evening_->logOutFailureShown = true;
    SetTransmitCaption(QStringLiteral("Contact not handed on: %1").arg(reason));
}

// ---- worked before ----

void THoofdForm::EnsureWorkedBeforeIndex() {
    if (evening_->index.Built()) return;
    QByteArray logbook;
    if (LogBookFile.isOpen()) {
        logbook = ReadLogBookFile();
    } else {
        QFile file(FindFileNoCase(folder_, QStringLiteral("Halvuro.log")));
        if (OpenToRead(file)) logbook = file.readAll();
    }
    evening_->index.Build(logbook, QLocale(), clock().Now().date().year());
}

WorkedBeforeLookup THoofdForm::LastContactWith(const QString& call) {
    EnsureWorkedBeforeIndex();
    return evening_->index.Lookup(call);
}

std::optional<QDateTime> THoofdForm::LinkEndedWith(const QString& call) const {
    return evening_->events.LinkEnded(call);
}

QString THoofdForm::LastBand() const {
    return evening_->band;
}

void THoofdForm::KeepBand(const QString& band) {
    if (band == evening_->band) return;
    evening_->band = band;
    KeepEveningSettings({{Evening::kBandKey, band}});
}

QString THoofdForm::MyLocator() const {
    return evening_->myLocator;
}

QString THoofdForm::OperatorCall() const {
    return evening_->operatorCall;
}

void THoofdForm::ShowManualInViewer(const QString& path) {
    QDialog viewer(this);
    viewer.setObjectName(QStringLiteral("ManualViewer"));
    viewer.setWindowTitle(QStringLiteral("Dervalo manual"));
    viewer.resize(760, 560);
    auto* layout = new QVBoxLayout(&viewer);
    auto* browser = new QTextBrowser(&viewer);
    browser->setObjectName(QStringLiteral("ManualBrowser"));
    browser->setOpenExternalLinks(false);
    browser->setSource(QUrl::fromLocalFile(path));
    layout->addWidget(browser);
    prompts().ShowModal(viewer);
}
