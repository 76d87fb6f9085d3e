#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <functional>

// The mode bar: a tabbed notebook that reports a page change, with the new
// page number, before the new page is shown, whether the operator picks a tab
// or the program sets the page. Setting the page that is showing raises
// nothing.
class TTabBalk : public QTabWidget {
    Q_OBJECT
public:
    explicit TTabBalk(QWidget* parent = nullptr);
    std::function<void(int)> OnChange;
    void SetPage(int page);
    int Page() const { return currentIndex(); }

    // The tab bar's property through which it asks the application's style
    // for narrower tab margins (PM_TabBarTabHSpace) when short of room.
    static constexpr const char* kTabMarginProperty = "dervaloTabMargin";
    static constexpr int kLeastTabMargin = 6;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void tabInserted(int index) override;

private:
    void FitTabs();
};

// The transmit bar: a panel with a caption that reports mouse presses, moves
// (with the pointer's position relative to its top edge) and releases.
class TBar : public QLabel {
    Q_OBJECT
public:
    explicit TBar(QWidget* parent = nullptr);
    std::function<void()> OnPress;
    std::function<void(int)> OnMove;
    std::function<void()> OnRelease;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// A pane of the status line: a caption that always shows its whole text,
// in a smaller font where the pane is too narrow for it (a count of seven
// digits, a long port name).
class TPane : public QLabel {
    Q_OBJECT
public:
    explicit TPane(QWidget* parent = nullptr);
    // The font the text is drawn in: the pane's own, or smaller to fit.
    QFont ShownFont() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QRect TextArea() const;
};

// The receive and transmit windows: multi-line text boxes whose text area
// can be set apart from the box's edges, as the layout pass does.
//
// Pasting (the keys, the context menu, the middle button) takes plain text
// only, and only where it is allowed; a clipboard without text (the program
// empties it often) pastes nothing. Nothing is ever dropped in.
class TTextWindow : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TTextWindow(QWidget* parent = nullptr);
    // The text starts `left` pixels from the box's inner left edge; the text
    // area ends `bottomGap` pixels above its inner bottom edge, so the last
    // line, scrolled to, shows whole above an empty gap. Top and right stay
    // at the edges.
    void SetTextMargins(int left, int bottomGap);
    // Whether pasted text goes in: the characters of it that the receive
    // output would show, and its line breaks. Off at start.
    void SetPasteAllowed(bool allowed) { pasteAllowed_ = allowed; }

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    bool pasteAllowed_ = false;
};
