#include "logbook/LogBookInvulForm.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "logbook/LogBookRecord.h"
#include "logbook/LogBookWidgets.h"
#include "logbook/WorkedBefore.h"
#include "rig/Bands.h"
#include "shell/Clock.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"
#include "station/Evening.h"

const QString TLogBookInvulForm::kJournalName = QStringLiteral("Dervalo.adi");

TLogBookInvulForm::TLogBookInvulForm(THoofdForm& form)
    : QDialog(&form, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      form_(form) {
    setObjectName(QStringLiteral("LogBookInvulForm"));
    setWindowTitle(QStringLiteral("LogBook"));
    setFixedSize(330, 292);
    setModal(true);

    const auto row = [this](const char* labelName, const QString& caption, const char* boxName,
                            int top, TClickLabel*& label, TLogEdit*& box) {
        label = new TClickLabel(caption, this);
        label->setObjectName(QLatin1String(labelName));
        label->setGeometry(12, top, 50, 24);
        box = new TLogEdit(this);
        box->setObjectName(QLatin1String(boxName));
        box->setGeometry(66, top, 252, 24);
    };
    row("CallLabel", QStringLiteral("Call"), "CallEdit", 10, CallLabel, CallEdit);
    row("NameLabel", QStringLiteral("Name"), "NameEdit", 40, NameLabel, NameEdit);
    row("QthLabel", QStringLiteral("QTH"), "QthEdit", 70, QthLabel, QthEdit);
    row("DateLabel", QStringLiteral("Date"), "DateEdit", 100, DateLabel, DateEdit);
    row("TimeLabel", QStringLiteral("Time"), "TimeEdit", 130, TimeLabel, TimeEdit);
    CallEdit->setMaxLength(8);

    BandLabel = new QLabel(QStringLiteral("Band"), this);
    BandLabel->setObjectName(QStringLiteral("BandLabel"));
    BandLabel->setGeometry(12, 160, 50, 24);
    BandBox = new QComboBox(this);
    BandBox->setObjectName(QStringLiteral("BandBox"));
    BandBox->setGeometry(66, 160, 120, 24);
    BandBox->addItem(QString());
    BandBox->addItems(Bands::Names());

    InfoLabel = new TClickLabel(QStringLiteral("Info"), this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setGeometry(12, 190, 50, 24);
    InfoMemo = new TInfoMemo(this);
    InfoMemo->setObjectName(QStringLiteral("InfoMemo"));
    InfoMemo->setGeometry(66, 190, 252, 50);

    const auto button = [this](const char* name, const QString& caption, int left) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setGeometry(left, 252, 80, 28);
        return b;
    };
    LogInvulSaveKnop = button("LogInvulSaveKnop", QStringLiteral("Save"), 40);
    CancelKnop = button("CancelKnop", QStringLiteral("Cancel"), 125);
    CloseKnop = button("CloseKnop", QStringLiteral("Close"), 210);

    const auto guarded = [this](void (TLogBookInvulForm::*op)()) {
        return [this, op] { form_.Guarded([this, op] { (this->*op)(); }); };
    };
    CallLabel->OnClick = CallEdit->OnClick = guarded(&TLogBookInvulForm::CallEditDblClick);
    NameLabel->OnClick = NameEdit->OnClick = guarded(&TLogBookInvulForm::NameEditDblClick);
    QthLabel->OnClick = QthEdit->OnClick = guarded(&TLogBookInvulForm::QthEditDblClick);
    connect(LogInvulSaveKnop, &QPushButton::clicked, this,
            guarded(&TLogBookInvulForm::LogInvulSaveKnopClick));
    // Cancel and Close save nothing; the boxes keep their texts.
    connect(CancelKnop, &QPushButton::clicked, this, &QDialog::reject);
    connect(CloseKnop, &QPushButton::clicked, this, &QDialog::reject);
}

void TLogBookInvulForm::DatumEnTyd() {
    const QDateTime now = form_.clock().Now();
    const QLocale locale;
    if (DateEdit->text().isEmpty()) {
        takenDate_ = now.date();
        takenDateText_ =
            LogBookText::WithOneBlankIfShort(LogBookText::ShortDate(locale, takenDate_));
        DateEdit->setText(takenDateText_);
    }
    takenTime_ = now.time();
    // FREQ is the rig's frequency at the time the contact is taken.
    takenHz_ = form_.RigFrequencyHz();
    takenTimeText_ = LogBookText::WithOneBlankIfShort(LogBookText::LongTime(locale, takenTime_));
    TimeEdit->setText(takenTimeText_);
}

void TLogBookInvulForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // With a rig the band comes from it; without one it is chosen here.
    const bool choose = !form_.HasRig();
    BandLabel->setVisible(choose);
    BandBox->setVisible(choose);
    if (BandBox->currentText().isEmpty()) BandBox->setCurrentText(form_.LastBand());
}

bool TLogBookInvulForm::TakePick() {
    if (!pickPending_) return false;
    pickPending_ = false;
    return true;
}

void TLogBookInvulForm::CallEntered(const QString& call) {
    if (call.trimmed().isEmpty()) return;
    const WorkedBeforeLookup found = form_.LastContactWith(call);
    form_.ShowLinkEvent(call.trimmed() + QStringLiteral(": ") + WorkedBeforeIndex::Describe(found));
    if (NameEdit->text().trimmed().isEmpty()) NameEdit->setText(found.name);
    if (QthEdit->text().trimmed().isEmpty()) QthEdit->setText(found.qth);
}

void TLogBookInvulForm::CallEditDblClick() {
    DatumEnTyd();
    if (!TakePick()) return;
    form_.st.PickedCall = LogBookText::Capitals(form_.st.PickedCall.left(8));
    CallEdit->setText(form_.st.PickedCall);
    CallEntered(form_.st.PickedCall);
    repaint();
    form_.Delay(800);
}

void TLogBookInvulForm::NameEditDblClick() {
    if (!TakePick()) return;
    NameEdit->setText(form_.st.PickedCall);
    repaint();
    form_.Delay(800);
}

void TLogBookInvulForm::QthEditDblClick() {
    if (!TakePick()) return;
    QthEdit->setText(form_.st.PickedCall);
    repaint();
    form_.Delay(800);
}

void TLogBookInvulForm::LogInvulSaveKnopClick() {
    LogBookText::Fill(form_.st.LogBookRecord,
                      {CallEdit->text(), NameEdit->text(), QthEdit->text(), DateEdit->text(),
                       TimeEdit->text(), InfoMemo->toPlainText()});
    // A failed write ends here: the counters, the boxes and the window stay.
    form_.WriteLogBookRecord(form_.st.LogBookRecordCount);
    ++form_.st.LogBookPosition;
    ++form_.st.LogBookRecordCount;
    const QByteArray journalRecord = Adif::Record(EntryContact());
    if (!form_.HasRig()) form_.KeepBand(BandBox->currentText());
    for (TLogEdit* box : {CallEdit, NameEdit, QthEdit, DateEdit, TimeEdit})
        box->clear();
    InfoMemo->clear();
    form_.st.LogBookRecord.ClearLengths();
    accept();
    form_.HerstelReceiveWindow();
    AppendToJournal(journalRecord);
    form_.HandContactOn(journalRecord);
}

Adif::Contact TLogBookInvulForm::EntryContact() const {
    const TLogBookRecord& r = form_.st.LogBookRecord;
    Adif::Contact c;
    c.call = r.Text(TLogBookRecord::Call);
    c.name = r.Text(TLogBookRecord::Name);
    c.qth = r.Text(TLogBookRecord::Qth);
    c.info = r.Text(TLogBookRecord::Info);
    c.stationCall = form_.st.DefaultMyCall;
    c.mode = Adif::ModeOf(form_.st.ModeName, form_.st.LinkStateText);
    // The band from the rig's frequency, or as chosen here without a rig.
    if (takenHz_ > 0 && form_.HasRig()) {
        c.band = Bands::FromHz(takenHz_);
        c.freq = Bands::AdifFreq(takenHz_);
    } else if (!form_.HasRig()) {
        c.band = BandBox->currentText();
    }
    c.off = form_.LinkEndedWith(c.call);
    c.myGrid = form_.MyLocator();
    c.operatorCall = form_.OperatorCall();

    // Boxes changed by hand are read back as the logbook export reads them.
    const QLocale locale;
    const int thisYear = form_.clock().Now().date().year();
    const std::optional<QDate> date =
        DateEdit->text() == takenDateText_ && takenDate_.isValid()
            ? std::optional<QDate>(takenDate_)
            : LogBookText::ReadShortDate(locale, DateEdit->text(), thisYear);
    const std::optional<QTime> time = TimeEdit->text() == takenTimeText_ && takenTime_.isValid()
                                          ? std::optional<QTime>(takenTime_)
                                          : LogBookText::ReadLongTime(locale, TimeEdit->text());
    if (date && time) c.on = QDateTime(*date, *time); // local time
    // An entry taken after its link ended would end before it began: the
    // contact then starts where the link did.
    if (c.off && (!c.on || *c.on > *c.off)) c.on = form_.evening_->events.EndedLinkStarted(c.call);
    return c;
}

void TLogBookInvulForm::AppendToJournal(const QByteArray& record) {
    // Opened, appended to and closed for each contact, unbuffered: the bytes
    // are on the file when write returns. A record that does not go in whole
    // is taken out again, so the file stays readable and the next contact
    // never follows half a record.
    QFile file(FindFileNoCase(form_.folder(), kJournalName));
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    if (written) {
        const qint64 before = file.size();
        const QByteArray bytes =
            (before == 0
                 ? Adif::Header(QString::fromLatin1(DervaloState::kVersion), form_.clock().Now())
                 : QByteArray()) +
            record;
        written = file.write(bytes) == bytes.size();
        if (!written && !file.resize(before))
            form_.Warning(QStringLiteral("%1 ends in half a record: %2")
                              .arg(kJournalName, file.errorString()));
    }
    const QString reason = file.errorString();
    file.close();
    // The logbook record is saved already; the journal only warns, once a run.
    if (written || journalFailureShown_) return;
    journalFailureShown_ = true;
    form_.Warning(QStringLiteral("Cannot write %1: %2").arg(kJournalName, reason));
}
