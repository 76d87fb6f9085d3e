#include "logbook/LogBookShowForm.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QShowEvent>

#include "logbook/Adif.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookRecord.h"
#include "shell/Appearance.h"
#include "shell/Clock.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

const QString TLogBookShowForm::kHeader = QStringLiteral(
    "      Call         Name                 QTH                    Date     Time           Info");
const QString TLogBookShowForm::kEndLine = QStringLiteral("\nEnd of LogBookFile");

namespace {
constexpr int kHeaderHeight = 20;
constexpr int kButtonRow = 44;
} // namespace

TLogBookShowForm::TLogBookShowForm(THoofdForm& form)
    : QDialog(&form, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      form_(form) {
    setObjectName(QStringLiteral("LogBookShowForm"));
    setWindowTitle(QStringLiteral("LogBook  Dervalo  "));
    setModal(true);
    resize(832, 579);

    // The columns line up only in a fixed-pitch font; the header uses the
    // list's own font and follows it when the list scrolls sideways.
    QFont fixed(Appearance::FamilyFor(QStringLiteral("Terminal")));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    fixed.setPixelSize(12);

    HeaderClip = new QWidget(this);
    HeaderClip->setObjectName(QStringLiteral("HeaderClip"));
    Panel1 = new QLabel(kHeader, HeaderClip);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFont(fixed);
    Panel1->setAutoFillBackground(true);

    Logmemo = new QPlainTextEdit(this);
    Logmemo->setObjectName(QStringLiteral("Logmemo"));
    Logmemo->setReadOnly(true);
    Logmemo->setFont(fixed);
    Logmemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Logmemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Logmemo->document()->setDocumentMargin(0);
    connect(Logmemo->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int x) { Panel1->move(Logmemo->frameWidth() - x, 0); });

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    CloseKnop = button("CloseKnop", QStringLiteral("Close"));
    SeekKnop = button("SeekKnop", QStringLiteral("Seek Call"));
    LogShowAllKnop = button("LogShowAllKnop", QStringLiteral("Show All"));
    ExportKnop = button("ExportKnop", QStringLiteral("Export ADIF\u2026"));
    const auto guarded = [this](void (TLogBookShowForm::*op)()) {
        return [this, op] { form_.Guarded([this, op] { (this->*op)(); }); };
    };
    connect(CloseKnop, &QPushButton::clicked, this, guarded(&TLogBookShowForm::CloseKnopClick));
    connect(SeekKnop, &QPushButton::clicked, this, guarded(&TLogBookShowForm::SeekKnopClick));
    connect(LogShowAllKnop, &QPushButton::clicked, this,
            guarded(&TLogBookShowForm::LogShowAllKnopClick));
    connect(ExportKnop, &QPushButton::clicked, this, guarded(&TLogBookShowForm::ExportKnopClick));
    PlaceControls();
}

void TLogBookShowForm::PlaceControls() {
    const int listWidth = qMax(0, width() - 5);
    HeaderClip->setGeometry(0, 0, listWidth, kHeaderHeight);
    Panel1->resize(qMax(Panel1->sizeHint().width() + 8, listWidth), kHeaderHeight);
    Logmemo->setGeometry(0, kHeaderHeight, listWidth,
                         qMax(0, height() - kHeaderHeight - kButtonRow));
    const int top = height() - kButtonRow + 8;
    SeekKnop->setGeometry(8, top, 100, 28);
    LogShowAllKnop->setGeometry(116, top, 100, 28);
    ExportKnop->setGeometry(224, top, 110, 28);
    CloseKnop->setGeometry(qMax(342, width() - 108), top, 100, 28);
}

void TLogBookShowForm::FormActivate() {
    PlaceControls(); // the list as wide as the window less 5
    move(x(), form_.y());
    ShowLogBook();
}

void TLogBookShowForm::SetList(const QString& text) {
    Logmemo->setPlainText(text);
    Logmemo->show();
}

void TLogBookShowForm::ShowLogBook() {
    form_.st.LogBookPosition = 0;
    Logmemo->hide();
    Logmemo->clear();
    // One read of the whole file, one text for the whole list.
    const QByteArray data = form_.ReadLogBookFile();
    const int count = int(TLogBookRecord::WholeRecords(data.size()));
    QString text;
    text.reserve(qsizetype(count) * 140 + 32);
    for (int n = 0; n < count; ++n) {
        text += LogBookText::ListLine(n, data.constData() + qsizetype(n) * TLogBookRecord::kSize);
        text += QLatin1Char('\n');
    }
    if (count > 0)
        form_.st.LogBookRecord = TLogBookRecord::FromBytes(
            data.mid(qsizetype(count - 1) * TLogBookRecord::kSize, TLogBookRecord::kSize));
    form_.st.LogBookPosition = count;
    text += kEndLine;
    SetList(text);
}

void TLogBookShowForm::SeekKnopClick() {
    const QString answer =
        form_.prompts()
            .InputBox(QStringLiteral("Dervalo"), QStringLiteral("Type Call"), QString())
            .value_or(QString());
    const QString key = LogBookText::Capitals(answer);
    Logmemo->hide();
    Logmemo->clear();
    const QByteArray data = form_.ReadLogBookFile();
    const int count = int(TLogBookRecord::WholeRecords(data.size()));
    QString text;
    bool found = false;
    for (int n = 0; n < count; ++n) {
        const char* record = data.constData() + qsizetype(n) * TLogBookRecord::kSize;
        if (!LogBookText::CallBeginsWith(record, key)) continue;
        if (found) text += QLatin1Char('\n');
        text += LogBookText::ListLine(n, record);
        found = true;
    }
    SetList(text);
    if (!found) {
        form_.prompts().MessageBox(QStringLiteral("This call NOT found"), QStringLiteral("Dervalo"),
                                   Prompts::Buttons::Ok);
        ShowLogBook();
    }
}

void TLogBookShowForm::LogShowAllKnopClick() {
    ShowLogBook();
}

void TLogBookShowForm::ExportKnopClick() {
    const QString chosen = form_.prompts().SaveFileName(
        QStringLiteral("Export ADIF"), form_.folder() + QStringLiteral("/Halvuro.adi"),
        QStringLiteral("ADIF files (*.adi);;All files (*)"));
    if (chosen.isEmpty()) return;
    const QString path = form_.ChosenFilePath(chosen);
    // Replacing the logbook (or the journal) with its export would lose it.
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QString& own : {form_.LogBookFile.fileName(),
                               FindFileNoCase(form_.folder(), TLogBookInvulForm::kJournalName)})
        if (!target.isEmpty() && target == QFileInfo(own).canonicalFilePath()) {
            form_.Warning(
                QStringLiteral("Cannot write %1: it is the program's own file").arg(path));
            return;
        }
    const QByteArray logbook = form_.ReadLogBookFile();
    const Adif::Export adif =
        Adif::ExportLogBook(logbook, QLocale(), form_.clock().Now(), form_.st.DefaultMyCall,
                            QString::fromLatin1(DervaloState::kVersion));
    // Written whole or not at all: the flush makes a full disk show before
    // the commit, also for an export smaller than the write buffer.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(adif.text) != adif.text.size() ||
        !file.flush() || !file.commit()) {
        form_.Warning(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
        return;
    }
    const auto count = [](int n, const char* one, const char* more) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : more));
    };
    QString report =
        QStringLiteral("Exported %1 to %2").arg(count(adif.contacts, "contact", "contacts"), path);
    if (adif.withoutOn > 0)
        report += QStringLiteral("; %1 without a readable date or time").arg(adif.withoutOn);
    if (adif.emptyLeftOut > 0)
        report += QStringLiteral("; %1 left out")
                      .arg(count(adif.emptyLeftOut, "empty record", "empty records"));
    form_.prompts().MessageBox(report + QLatin1Char('.'), QStringLiteral("Dervalo"),
                               Prompts::Buttons::Ok);
}

void TLogBookShowForm::CloseKnopClick() {
    accept();
}

void TLogBookShowForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return; // back from minimized
    form_.Guarded([this] { FormActivate(); });
}

void TLogBookShowForm::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    PlaceControls();
}

void TLogBookShowForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        // Escape closes the window while one of its buttons has the focus.
        QWidget* focus = focusWidget();
        if (focus == CloseKnop || focus == SeekKnop || focus == LogShowAllKnop ||
            focus == ExportKnop)
            CloseKnopClick();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
