#include "logbook/LogBookEditForm.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "logbook/LogBookRecord.h"
#include "logbook/LogBookWidgets.h"
#include "shell/HoofdForm.h"
#include "shell/InOutError.h"
#include "shell/Prompts.h"

TLogBookEditForm::TLogBookEditForm(THoofdForm& form)
    : QDialog(&form, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      form_(form) {
    setObjectName(QStringLiteral("LogBookEditForm"));
    setWindowTitle(QStringLiteral("Edit LogBook"));
    setFixedSize(420, 286);
    setModal(true);

    const auto row = [this](const char* labelName, const QString& caption, const char* boxName,
                            int top, QLabel*& label, TLogEdit*& box) {
        label = new QLabel(caption, this);
        label->setObjectName(QLatin1String(labelName));
        label->setGeometry(12, top, 56, 24);
        box = new TLogEdit(this);
        box->setObjectName(QLatin1String(boxName));
        box->setGeometry(72, top, 236, 24);
    };
    row("RecordLabel", QStringLiteral("Record"), "Recordnummer", 10, RecordLabel, Recordnummer);
    row("CallLabel", QStringLiteral("Call"), "CallEdit", 40, CallLabel, CallEdit);
    row("NameLabel", QStringLiteral("Name"), "NameEdit", 70, NameLabel, NameEdit);
    row("QthLabel", QStringLiteral("QTH"), "QthEdit", 100, QthLabel, QthEdit);
    row("DateLabel", QStringLiteral("Date"), "DateEdit", 130, DateLabel, DateEdit);
    row("TimeLabel", QStringLiteral("Time"), "TimeEdit", 160, TimeLabel, TimeEdit);
    Recordnummer->setFixedWidth(80);
    CallEdit->SetTypedCapitals(true);
    TimeEdit->SetTypedCapitals(true);

    InfoLabel = new QLabel(QStringLiteral("Info"), this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setGeometry(12, 190, 56, 24);
    InfoMemo = new TInfoMemo(this);
    InfoMemo->setObjectName(QStringLiteral("InfoMemo"));
    InfoMemo->setGeometry(72, 190, 236, 50);
    InfoMemo->SetMaxLength(kInfoShown);

    const auto button = [this](const char* name, const QString& caption, int left, int top) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setGeometry(left, top, 88, 28);
        return b;
    };
    LogEditSaveKnop = button("LogEditSaveKnop", QStringLiteral("Save"), 320, 10);
    LogEditVorigeKnop = button("LogEditVorigeKnop", QStringLiteral("Previous"), 320, 46);
    LogEditNextKnop = button("LogEditNextKnop", QStringLiteral("Next"), 320, 82);
    DeleteKnop = button("DeleteKnop", QStringLiteral("Delete"), 320, 130);
    CloseKnop = button("CloseKnop", QStringLiteral("Close"), 320, 250);

    const auto guarded = [this](void (TLogBookEditForm::*op)()) {
        return [this, op] { form_.Guarded([this, op] { (this->*op)(); }); };
    };
    connect(Recordnummer, &QLineEdit::textChanged, this,
            guarded(&TLogBookEditForm::RecordnummerChange));
    connect(LogEditSaveKnop, &QPushButton::clicked, this,
            guarded(&TLogBookEditForm::LogEditSaveKnopClick));
    connect(LogEditVorigeKnop, &QPushButton::clicked, this,
            guarded(&TLogBookEditForm::LogEditVorigeKnopClick));
    connect(LogEditNextKnop, &QPushButton::clicked, this,
            guarded(&TLogBookEditForm::LogEditNextKnopClick));
    connect(DeleteKnop, &QPushButton::clicked, this, guarded(&TLogBookEditForm::DeleteKnopClick));
    connect(CloseKnop, &QPushButton::clicked, this, guarded(&TLogBookEditForm::CloseKnopClick));
}

void TLogBookEditForm::FormShow() {
    if (form_.st.LogBookRecordCount == 0) return;
    form_.st.LogBookPosition = form_.st.LogBookRecordCount - 1;
    form_.ReadLogBookRecord(form_.st.LogBookPosition);
    ShowRecord();
}

void TLogBookEditForm::ShowRecord() {
    const TLogBookRecord& r = form_.st.LogBookRecord;
    CallEdit->setText(r.Text(TLogBookRecord::Call));
    NameEdit->setText(r.Text(TLogBookRecord::Name));
    QthEdit->setText(r.Text(TLogBookRecord::Qth));
    DateEdit->setText(r.Text(TLogBookRecord::Date));
    TimeEdit->setText(r.Text(TLogBookRecord::Time));
    // The box shows at most 30 characters of the Info; the clipboard holds
    // the whole of it afterwards.
    const QString info = r.Text(TLogBookRecord::Info);
    if (!info.isEmpty()) QApplication::clipboard()->setText(info);
    InfoMemo->setPlainText(info);
    // Setting the number the box already holds is no change. A new number
    // leaves the caret in front of it, so what is typed next goes before it
    // ("-" shows record 0, and a following "2" makes "20", no record).
    const QString number = QString::number(form_.st.LogBookPosition);
    if (Recordnummer->text() != number) {
        Recordnummer->setText(number);
        Recordnummer->setCursorPosition(0);
    }
}

void TLogBookEditForm::RecordnummerChange() {
    const QString text = Recordnummer->text();
    if (text.isEmpty()) return;
    bool ok = false;
    qint64 n = text.toLongLong(&ok);
    if (!ok) n = 0;
    if (n >= form_.st.LogBookRecordCount) return;
    form_.st.LogBookPosition = qint32(n);
    if (n < 1) {
        form_.prompts().Beep();
        form_.st.LogBookPosition = 0;
    }
    form_.ReadLogBookRecord(form_.st.LogBookPosition);
    ShowRecord();
}

void TLogBookEditForm::LogEditVorigeKnopClick() {
    QApplication::clipboard()->clear();
    if (form_.st.LogBookPosition == 0) {
        // Stays; what was typed and not saved is dropped.
        form_.prompts().Beep();
        ShowRecord();
        return;
    }
    const qint32 previous = form_.st.LogBookPosition - 1;
    form_.ReadLogBookRecord(previous);
    form_.st.LogBookPosition = previous;
    ShowRecord();
}

void TLogBookEditForm::LogEditNextKnopClick() {
    QApplication::clipboard()->clear();
    qint32& position = form_.st.LogBookPosition;
    ++position;
    if (position == form_.st.LogBookRecordCount) form_.prompts().Beep();
    if (position >= form_.st.LogBookRecordCount) {
        form_.prompts().Beep();
        --position;
    }
    // The new number makes RecordnummerChange read and show the record; at
    // the last record the buffer is shown again.
    ShowRecord();
}

void TLogBookEditForm::LogEditSaveKnopClick() {
    // A call never holds a blank; the name and the QTH lose only the blanks
    // that fill them up, so words stay apart.
    CallEdit->setText(LogBookText::WithoutBlanks(CallEdit->text()));
    NameEdit->setText(LogBookText::WithoutTrailingBlanks(NameEdit->text()));
    QthEdit->setText(LogBookText::WithoutTrailingBlanks(QthEdit->text()));
    const QString info = InfoMemo->toPlainText();
    if (!info.isEmpty()) QApplication::clipboard()->setText(info);
    TLogBookRecord record = form_.st.LogBookRecord;
    LogBookText::Fill(record, {CallEdit->text(), NameEdit->text(), QthEdit->text(),
                               DateEdit->text(), TimeEdit->text(), info});
    form_.st.LogBookRecord = record;
    form_.WriteLogBookRecord(form_.st.LogBookPosition);
}

void TLogBookEditForm::DeleteKnopClick() {
    DervaloState& st = form_.st;
    if (st.LogBookRecordCount <= 0) return;
    // Every later record moves up one place, in increasing order: one read
    // and one write each, straight in the file.
    try {
        DeleteIndex = st.LogBookPosition;
        while (DeleteIndex < st.LogBookRecordCount - 1) {
            form_.prompts().Beep();
            form_.ReadLogBookRecord(DeleteIndex + 1);
            form_.WriteLogBookRecord(DeleteIndex);
            ++DeleteIndex;
        }
        if (st.LogBookPosition > 0) --st.LogBookPosition;
        if (st.LogBookRecordCount - 1 > 0) form_.ReadLogBookRecord(st.LogBookPosition);
        ShowRecord();
        // The last slot, now a copy, goes.
        form_.CutLogBookFile(st.LogBookRecordCount - 1);
    } catch (const InOutError&) {
        // Stopped part-way, records may have moved: what is shown, saved or
        // deleted next is what the file holds now.
        ShowWhatTheFileHolds();
        throw;
    }
    --st.LogBookRecordCount;
    if (st.LogBookRecordCount == 0) CloseKnopClick();
}

void TLogBookEditForm::ShowWhatTheFileHolds() {
    DervaloState& st = form_.st;
    // A file that is not open was not changed either.
    if (!form_.LogBookFile.isOpen()) return;
    st.LogBookRecordCount =
        qint32(qMin<qint64>(TLogBookRecord::WholeRecords(form_.LogBookFile.size()), 0x7FFFFFFF));
    // The record at the same place, else the last one; nothing left to show
    // (or nothing readable) closes the editor.
    try {
        if (st.LogBookRecordCount > 0) {
            st.LogBookPosition = qBound(0, st.LogBookPosition, st.LogBookRecordCount - 1);
            form_.ReadLogBookRecord(st.LogBookPosition);
            ShowRecord();
            return;
        }
    } catch (const InOutError&) {
    }
    CloseKnopClick();
}

void TLogBookEditForm::CloseKnopClick() {
    form_.st.LogBookPosition = form_.st.LogBookRecordCount; // no record selected
    accept();
}

void TLogBookEditForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return; // back from minimized
    form_.Guarded([this] { FormShow(); });
}

void TLogBookEditForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        // Escape closes the window while Save, Previous or Next has the focus.
        QWidget* focus = focusWidget();
        if (focus == LogEditSaveKnop || focus == LogEditVorigeKnop || focus == LogEditNextKnop)
            form_.Guarded([this] { CloseKnopClick(); });
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
