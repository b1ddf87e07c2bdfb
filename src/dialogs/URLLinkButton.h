#pragma once
// A push button that looks and behaves like a hyperlink: link colour, underlined in the hover colour
// while the mouse rests on it, a hand cursor, purple once followed. Enter opens it on key release.

#include <QColor>
#include <QPushButton>

class IUrlOpener;

class CURLLinkButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CURLLinkButton(IUrlOpener& opener, QWidget* parent = nullptr);

    void SetURL(const QString& url) { m_url = url; }
    void SetPrefix(const QString& prefix) { m_prefix = prefix; }
    // The address the click opens: prefix + URL, or prefix + caption without a URL.
    QString Target() const;

    bool IsHover() const { return m_hover; }
    bool IsVisited() const { return m_visited; }
    // The colour and underline the caption is drawn with in the current state.
    QColor TextColor() const;
    bool IsUnderlined() const { return isEnabled() && m_hover; }

    QColor linkColor;
    QColor hoverColor;
    QColor visitedColor{0x80, 0x00, 0x80};
    QColor disabledColor;

    QSize sizeHint() const override;

Q_SIGNALS:
    // The address could not be opened; nobody has to listen.
    void linkClicked(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Follow();

    IUrlOpener& m_opener;
    QString m_url;
    QString m_prefix;
    bool m_hover = false;
    bool m_visited = false;
};
