#include "fax/FaxWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cstring>

#include "fax/FaxPicture.h"

TFaxCanvas::TFaxCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    Clear(960);
}

void TFaxCanvas::SetColours() {
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    shown_.setColorTable(inverted_ ? QList<QRgb>{black, white} : QList<QRgb>{white, black});
}

void TFaxCanvas::Clear(int width) {
    shown_ = QImage(width, 256, QImage::Format_Mono);
    shown_.fill(0);
    SetColours();
    dotRows_ = 0;
    drawn_ = 0;
    setFixedSize(width, 1);
    update();
}

void TFaxCanvas::AddRows(const FaxPicture& picture, int from) {
    const int rows = picture.RowCount();
    if (rows <= dotRows_ && from >= dotRows_) return;
    const int start = ShownRows(qMin(from, dotRows_));
    const int end = ShownRows(rows);
    if (end > shown_.height()) {
        // Room for twice the rows: the copies stay few however long the picture.
        QImage bigger(shown_.width(), qMax(end, shown_.height() * 2), QImage::Format_Mono);
        bigger.fill(0);
        const qsizetype bytes = shown_.bytesPerLine();
        for (int y = 0; y < drawn_; ++y)
            std::memcpy(bigger.scanLine(y), shown_.constScanLine(y), size_t(bytes));
        shown_ = bigger;
        SetColours();
    }
    const size_t rowBytes = size_t(qMin<qsizetype>(picture.RowBytes(), shown_.bytesPerLine()));
    for (int ty = start; ty < end; ++ty)
        std::memcpy(shown_.scanLine(ty), picture.Row(ty * 3 / 5).constData(), rowBytes);
    dotRows_ = rows;
    drawn_ = end;
    if (height() != drawn_) setFixedSize(shown_.width(), qMax(1, drawn_));
    update(0, start, shown_.width(), end - start);
}

void TFaxCanvas::SetInverted(bool inverted) {
    if (inverted == inverted_) return;
    inverted_ = inverted;
    SetColours();
    update();
}

void TFaxCanvas::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = event->rect();
    const QRect picture = r.intersected(QRect(0, 0, shown_.width(), drawn_));
    if (!picture.isEmpty()) p.drawImage(picture.topLeft(), shown_, picture);
    // Below the rows drawn: the paper's colour.
    if (r.bottom() >= drawn_)
        p.fillRect(QRect(r.left(), drawn_, r.width(), r.bottom() - drawn_ + 1),
                   inverted_ ? Qt::black : Qt::white);
}

TFaxWindow::TFaxWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FaxWindow"));
    setWindowTitle(QStringLiteral("Weather fax"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    Invert = new QCheckBox(QStringLiteral("Invert"), this);
    Invert->setObjectName(QStringLiteral("FaxInvert"));
    SaveImage = new QPushButton(QStringLiteral("Save fax image…"), this);
    SaveImage->setObjectName(QStringLiteral("FaxSaveImage"));
    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("FaxStatus"));
    bar->addWidget(Invert);
    bar->addWidget(SaveImage);
    bar->addWidget(Status, 1);
    layout->addLayout(bar);
    Scroller = new QScrollArea(this);
    Canvas = new TFaxCanvas;
    Scroller->setWidget(Canvas);
    Scroller->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Scroller->setBackgroundRole(QPalette::Dark);
    layout->addWidget(Scroller, 1);
    connect(Invert, &QCheckBox::toggled, Canvas, &TFaxCanvas::SetInverted);
    connect(SaveImage, &QPushButton::clicked, this, [this] {
        if (OnSave) OnSave();
    });
    resize(1000, 700);
}

void TFaxWindow::NewPicture(int width) {
    Canvas->Clear(width);
}

void TFaxWindow::ShowRows(const FaxPicture& picture, int from) {
    // The window follows the picture while the operator looks at its end.
    QScrollBar* v = Scroller->verticalScrollBar();
    const bool atEnd = v->value() >= v->maximum() - 4;
    Canvas->AddRows(picture, from);
    // The canvas's new height has reached the scroll bar (a resize event).
    if (atEnd) v->setValue(v->maximum());
}

void TFaxWindow::SetStatus(const QString& text) {
    Status->setText(text);
}
