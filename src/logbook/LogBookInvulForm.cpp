#include "logbook/LogBookInvulForm.h"

#include <QFile>
#include <QPushButton>

#include "logbook/LogBookRecord.h"
#include "logbook/LogBookWidgets.h"
#include "shell/Clock.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"

const QString TLogBookInvulForm::kJournalName = QStringLiteral("Dervalo.adi");

TLogBookInvulForm::TLogBookInvulForm(THoofdForm& form)
    : QDialog(&form, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      form_(form) {
    setObjectName(QStringLiteral("LogBookInvulForm"));
    setWindowTitle(QStringLiteral("LogBook"));
    setFixedSize(330, 262);
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

    InfoLabel = new TClickLabel(QStringLiteral("Info"), this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setGeometry(12, 160, 50, 24);
    InfoMemo = new TInfoMemo(this);
    InfoMemo->setObjectName(QStringLiteral("InfoMemo"));
    InfoMemo->setGeometry(66, 160, 252, 50);

    const auto button = [this](const char* name, const QString& caption, int left) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setGeometry(left, 222, 80, 28);
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
    takenTimeText_ = LogBookText::WithOneBlankIfShort(LogBookText::LongTime(locale, takenTime_));
    TimeEdit->setText(takenTimeText_);
}

void TLogBookInvulForm::CallEditDblClick() {
    DatumEnTyd();
    form_.st.PickedCall = LogBookText::Capitals(form_.st.PickedCall.left(8));
    CallEdit->setText(form_.st.PickedCall);
    repaint();
    form_.Delay(800);
}

void TLogBookInvulForm::NameEditDblClick() {
    NameEdit->setText(form_.st.PickedCall);
    repaint();
    form_.Delay(800);
}

void TLogBookInvulForm::QthEditDblClick() {
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
    for (TLogEdit* box : {CallEdit, NameEdit, QthEdit, DateEdit, TimeEdit})
        box->clear();
    InfoMemo->clear();
    form_.st.LogBookRecord.ClearLengths();
    accept();
    form_.HerstelReceiveWindow();
    AppendToJournal(journalRecord);
}

Adif::Contact TLogBookInvulForm::EntryContact() const {
    const TLogBookRecord& r = form_.st.LogBookRecord;
    Adif::Contact c{r.Text(TLogBookRecord::Call),
                    r.Text(TLogBookRecord::Name),
                    r.Text(TLogBookRecord::Qth),
                    r.Text(TLogBookRecord::Info),
                    form_.st.DefaultMyCall,
                    std::nullopt,
                    Adif::ModeOf(form_.st.ModeName, form_.st.LinkStateText)};
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
