#include "shell/Widgets.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "shell/Appearance.h"

#include "host/CharTable.h"
#include "host/Frames.h"

namespace {
// A tab bar that asks before it changes page.
class TabBar : public QTabBar {
public:
    explicit TabBar(TTabBalk* owner) : QTabBar(owner), owner_(owner) {}

protected:
    void mousePressEvent(QMouseEvent* e) override {
        const int index = tabAt(e->position().toPoint());
        if (e->button() == Qt::LeftButton && index >= 0 && index != currentIndex() &&
            owner_->OnChange)
            owner_->OnChange(index);
        QTabBar::mousePressEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        int index = currentIndex();
        if (e->key() == Qt::Key_Left)
            --index;
        else if (e->key() == Qt::Key_Right)
            ++index;
        else
            return QTabBar::keyPressEvent(e);
        if (index >= 0 && index < count()) owner_->SetPage(index);
    }
    void wheelEvent(QWheelEvent* e) override { e->ignore(); }

public:
    // The width all tabs ask for, side by side.
    int WantedWidth() const {
        int wanted = 0;
        for (int i = 0; i < count(); ++i)
            wanted += tabSizeHint(i).width();
        return wanted;
    }

private:
    TTabBalk* owner_;
};
} // namespace

TTabBalk::TTabBalk(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new TabBar(this));
}

void TTabBalk::keyPressEvent(QKeyEvent* e) {
    // Ctrl+Tab and Ctrl+PgUp/PgDn page through the notebook; they go the
    // same way as a click, asking first.
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    int step = 0;
    if (ctrl && (e->key() == Qt::Key_Tab || e->key() == Qt::Key_PageDown))
        step = 1;
    else if (ctrl && (e->key() == Qt::Key_Backtab || e->key() == Qt::Key_PageUp))
        step = -1;
    if (step == 0) return QTabWidget::keyPressEvent(e);
    if (e->modifiers() & Qt::ShiftModifier && e->key() == Qt::Key_Tab) step = -1;
    SetPage((currentIndex() + step + count()) % count());
}

void TTabBalk::resizeEvent(QResizeEvent* e) {
    FitTabs();
    QTabWidget::resizeEvent(e);
}

void TTabBalk::tabInserted(int index) {
    QTabWidget::tabInserted(index);
    FitTabs();
}

void TTabBalk::FitTabs() {
    // Every tab stays in sight while the notebook is wide enough for the
    // captions: tabs that would run past its edge ask the style for
    // narrower margins, all alike, before scroll arrows are needed.
    auto* bar = static_cast<TabBar*>(tabBar());
    bar->setProperty(kTabMarginProperty, QVariant());
    const int tabs = bar->count();
    const int wanted = bar->WantedWidth();
    if (tabs > 0 && wanted > width()) {
        const int margin = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
        const int spare = width() - (wanted - tabs * margin);
        bar->setProperty(kTabMarginProperty, qBound(kLeastTabMargin, spare / tabs, margin));
    }
    // The bar lays its tabs out again before the notebook places it.
    bar->setElideMode(bar->elideMode());
}

void TTabBalk::SetPage(int page) {
    if (page == currentIndex() || page < 0 || page >= count()) return;
    if (OnChange) OnChange(page);
    setCurrentIndex(page);
}

TBar::TBar(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::SplitVCursor);
    setToolTip(QStringLiteral("Move this bar up or down"));
    setMouseTracking(false);
}

void TBar::mousePressEvent(QMouseEvent* e) {
    if (OnPress) OnPress();
    e->accept();
}

void TBar::mouseMoveEvent(QMouseEvent* e) {
    if (OnMove) OnMove(int(e->position().y()));
    e->accept();
}

void TBar::mouseReleaseEvent(QMouseEvent* e) {
    if (OnRelease) OnRelease();
    e->accept();
}

TPane::TPane(QWidget* parent) : QLabel(parent) {}

QRect TPane::TextArea() const {
    return contentsRect().adjusted(qMax(0, indent()), 0, 0, 0);
}

QFont TPane::ShownFont() const {
    return Appearance::FontToFit(font(), text(), TextArea().width());
}

void TPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(ShownFont());
    style()->drawItemText(&painter, TextArea(), int(alignment()), palette(), isEnabled(), text(),
                          foregroundRole());
}

TTextWindow::TTextWindow(QWidget* parent) : QPlainTextEdit(parent) {}

void TTextWindow::SetTextMargins(int left, int bottomGap) {
    document()->setDocumentMargin(0);
    // The gap lies outside the text area, in the window's own background:
    // the text area ends above it, so its last line is never cut off.
    setViewportMargins(left, 0, 0, bottomGap);
}

bool TTextWindow::canInsertFromMimeData(const QMimeData* source) const {
    return pasteAllowed_ && source && source->hasText();
}

void TTextWindow::insertFromMimeData(const QMimeData* source) {
    // The toolkit's own insertion is never reached: it fails on data that
    // carries no format at all, which is what an emptied clipboard gives.
    if (!canInsertFromMimeData(source)) return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // The characters the receive output would show, and line breaks.
    QString kept;
    for (const QChar c : text) {
        const std::optional<quint8> byte = CharTable::ToByte(c);
        if (c == QLatin1Char('\n') || (byte && Frames::IsShown(*byte))) kept += c;
    }
    insertPlainText(kept);
}

void TTextWindow::dragEnterEvent(QDragEnterEvent* e) {
    e->ignore();
}

void TTextWindow::dragMoveEvent(QDragMoveEvent* e) {
    e->ignore();
}

void TTextWindow::dropEvent(QDropEvent* e) {
    e->ignore();
}
