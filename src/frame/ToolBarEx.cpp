#include "frame/ToolBarEx.h"

#include "core/AccessibleText.h"
#include "core/CommandIds.h"
#include "frame/CommandTable.h"
#include "frame/PageInput.h"

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

// The page box's entries "1" to "n", made when they are shown rather than stored: listing the pages of a
// 5000-page document costs no more than those of a 5-page one.
class CPageNumbers : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;
    void SetCount(int n)
    {
        beginResetModel();
        m_count = std::max(0, n);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_count;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_count || (role != Qt::DisplayRole && role != Qt::EditRole)) {
            return {};
        }
        return QString::number(index.row() + 1);
    }

private:
    int m_count = 0;
};

} // namespace

CToolBarEx::CToolBarEx(QWidget* parent) : QToolBar(QStringLiteral("Main"), parent)
{
    setObjectName(QStringLiteral("Main"));
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setMovable(true);
    setAllowedAreas(Qt::AllToolBarAreas);
}

void CToolBarEx::ResetToolBar(const std::map<int, QAction*>& actions,
                              const std::function<bool(int id)>& hidden)
{
    clear();
    delete m_pageBox;
    m_pageBox = nullptr;
    for (int id : ToolbarLayout()) {
        if (id == 0) {
            addSeparator();
            continue;
        }
        if (id == Cmd::PageBox) {
            m_pageBox = new QComboBox(this);
            m_pageBox->setObjectName(QStringLiteral("PageBox"));
            m_pageBox->setEditable(true);
            m_pageBox->setInsertPolicy(QComboBox::NoInsert);
            m_pageBox->setModel(new CPageNumbers(m_pageBox));
            m_pageBox->setToolTip(CommandToolTip(Cmd::PageBox));
            m_pageBox->setStatusTip(CommandPrompt(Cmd::PageBox));
            m_pageBox->setAccessibleName(PageBoxAccessibleName());
            m_pageBox->lineEdit()->setAccessibleName(PageBoxAccessibleName());
            // Screen readers on Linux name a combo box by the label it has, not by its own name: a label
            // that is never shown.
            auto* label = new QLabel(PageBoxAccessibleName(), this);
            label->setBuddy(m_pageBox);
            label->hide();
            connect(m_pageBox, &QObject::destroyed, label, &QObject::deleteLater);
            const int row = std::max(1, m_pageBox->fontMetrics().height() + 4);
            m_pageBox->setMaxVisibleItems(std::max(1, kDropDownHeight / row));
            m_pageBox->lineEdit()->setAlignment(Qt::AlignRight);
            connect(m_pageBox->lineEdit(), &QLineEdit::returnPressed, this, &CToolBarEx::pageBoxEnter);
            connect(m_pageBox, &QComboBox::activated, this, &CToolBarEx::pageBoxSelect);
            FitPageBox(m_pageBoxDigits);
            QAction* boxAction = addWidget(m_pageBox);
            auto it = actions.find(Cmd::PageBox);
            if (it != actions.end()) {
                // The box follows the enabling rule of its command.
                m_pageBox->setEnabled(it->second->isEnabled());
                connect(it->second, &QAction::changed, m_pageBox,
                        [box = m_pageBox, a = it->second] { box->setEnabled(a->isEnabled()); });
            }
            boxAction->setObjectName(QStringLiteral("PageBoxAction"));
            continue;
        }
        if (hidden && hidden(id)) {
            continue;
        }
        auto it = actions.find(id);
        if (it != actions.end()) {
            addAction(it->second);
        }
    }
}

void CToolBarEx::FillPageBox(int n)
{
    if (m_pageBox == nullptr) {
        return;
    }
    static_cast<CPageNumbers*>(m_pageBox->model())->SetCount(n);
    m_pageBox->setAccessibleDescription(PageBoxDescription(n));
    m_pageBox->clearEditText();
    FitPageBox(std::max<int>(kPageBoxDigits, QString::number(n).size()));
    if (n > 0) {
        m_pageBox->setCurrentIndex(0);
    }
}

int CToolBarEx::GetPageBoxSelection() const
{
    return m_pageBox == nullptr ? -1 : m_pageBox->currentIndex();
}

void CToolBarEx::ShowPageNumber(int n)
{
    if (m_pageBox == nullptr) {
        return;
    }
    const QString text = QString::number(n);
    if (n >= 1 && n <= m_pageBox->count()) {
        m_pageBox->setCurrentIndex(n - 1); // entry i is page i + 1
    }
    m_pageBox->setEditText(text);
}

bool CToolBarEx::ReadPageInput(const std::function<void()>& reject)
{
    if (m_pageBox == nullptr) {
        return false;
    }
    int page = 0;
    if (!ParsePageInput(m_pageBox->currentText(), &page)) {
        if (reject) {
            reject();
        }
        m_pageBox->setFocus();
        return false;
    }
    m_requestedPage = page;
    return true;
}

void CToolBarEx::FitPageBox(int digits)
{
    m_pageBoxDigits = digits;
    if (m_pageBox == nullptr) {
        return;
    }
    const QFontMetrics fm(m_pageBox->lineEdit() != nullptr ? m_pageBox->lineEdit()->font()
                                                           : m_pageBox->font());
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c) {
        digit = std::max(digit, fm.horizontalAdvance(QLatin1Char(c)));
    }
    // The edit field's own margins (2 pixels on each side) and the text cursor.
    const QSize text(digits * digit + 2 * 2 + 2, fm.height());
    QStyleOptionComboBox option;
    option.initFrom(m_pageBox);
    option.editable = true;
    option.frame = true;
    const int width =
        m_pageBox->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, m_pageBox).width();
    m_pageBox->setFixedWidth(width);
}

void CToolBarEx::changeEvent(QEvent* event)
{
    QToolBar::changeEvent(event);
    // Another look or font measures digits differently.
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange) {
        FitPageBox(m_pageBoxDigits);
    }
}
