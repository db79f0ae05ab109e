#include "forms/StdCtrls.h"

#include "forms/EventDispatch.h"
#include "platform/LocaleFormats.h"
#include "platform/QtConvert.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QRadioButton>
#include <QStyleOptionGroupBox>

// ---- TRadioGroup

TRadioGroup::TRadioGroup(QWidget* Parent) : QGroupBox(Parent), FGroup(new QButtonGroup(this)) {
    connect(FGroup, &QButtonGroup::idToggled, this,
            [this](int id, bool checked) { ButtonToggled(id, checked); });
}

void TRadioGroup::SetItems(const QStringList& Items) {
    qDeleteAll(FButtons);
    FButtons.clear();
    FItems = Items;
    for (int i = 0; i < FItems.size(); ++i) {
        auto* b = new QRadioButton(FItems[i], this);
        b->installEventFilter(this);
        FGroup->addButton(b, i);
        FButtons.append(b);
        b->show();
    }
    FItemIndex = std::min(FItemIndex, static_cast<int>(FItems.size()) - 1);
    ShowIndex();
    ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int Index) {
    Index = std::clamp(Index, -1, static_cast<int>(FItems.size()) - 1);
    if (Index == FItemIndex) return;
    FItemIndex = Index;
    ShowIndex();
    emit Click();
    DispatchEvent(OnClick, this);
}

void TRadioGroup::SetColumns(int Columns) {
    FColumns = std::max(1, Columns);
    ArrangeButtons();
}

QRadioButton* TRadioGroup::Button(int Index) const {
    return Index >= 0 && Index < FButtons.size() ? FButtons[Index] : nullptr;
}

void TRadioGroup::ButtonToggled(int Index, bool Checked) {
    if (FUpdating || !Checked || Index == FItemIndex) return;
    FItemIndex = Index;
    SetTabStop();
    emit Click();
    DispatchEvent(OnClick, this);
}

void TRadioGroup::ShowIndex() {
    FUpdating = true;
    if (FItemIndex < 0) {
        // An exclusive group never lets its last checked button go.
        FGroup->setExclusive(false);
        for (QRadioButton* b : FButtons)
            b->setChecked(false);
        FGroup->setExclusive(true);
    } else {
        FButtons[FItemIndex]->setChecked(true);
    }
    FUpdating = false;
    SetTabStop();
}

void TRadioGroup::SetTabStop() {
    // The other buttons take the focus from the mouse and the arrow keys only.
    const int stop = std::max(0, FItemIndex);
    for (int i = 0; i < FButtons.size(); ++i)
        FButtons[i]->setFocusPolicy(i == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool TRadioGroup::eventFilter(QObject* Watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QGroupBox::eventFilter(Watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    int step = 0;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    default:
        return QGroupBox::eventFilter(Watched, event);
    }
    const int count = static_cast<int>(FButtons.size());
    const int from = static_cast<int>(FButtons.indexOf(static_cast<QRadioButton*>(Watched)));
    if (from < 0 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return QGroupBox::eventFilter(Watched, event);
    // Disabled or hidden items are passed over.
    for (int i = (from + step + count) % count; i != from; i = (i + step + count) % count) {
        if (!FButtons[i]->isEnabled() || !FButtons[i]->isVisibleTo(this)) continue;
        FButtons[i]->setFocus(Qt::TabFocusReason);
        SetItemIndex(i);
        break;
    }
    return true;
}

void TRadioGroup::ArrangeButtons() {
    const int count = static_cast<int>(FButtons.size());
    if (count == 0) return;
    // Column by column, the buttons share the inside of the frame evenly.
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect inside =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this);
    const int perColumn = (count + FColumns - 1) / FColumns;
    const int width = (inside.width() - 8) / FColumns;
    const int height = std::max(1, inside.height() / perColumn);
    const int top = inside.top() + (inside.height() - height * perColumn) / 2;
    for (int i = 0; i < count; ++i)
        FButtons[i]->setGeometry(inside.left() + 6 + (i / perColumn) * width,
                                 top + (i % perColumn) * height, width, height);
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    ArrangeButtons();
}

void TRadioGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) ArrangeButtons();
}

// ---- TCheckListBox

TCheckListBox::TCheckListBox(QWidget* Parent) : QListWidget(Parent) {
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                for (int i = first; i <= last; ++i) {
                    QListWidgetItem* it = item(i);
                    it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
                    if (!it->data(Qt::CheckStateRole).isValid()) it->setCheckState(Qt::Unchecked);
                }
            });
}

bool TCheckListBox::Checked(int Index) const {
    const QListWidgetItem* it = item(Index);
    return it && it->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int Index, bool Checked) {
    if (QListWidgetItem* it = item(Index)) it->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
}

// ---- TColorBox

TColorBox::TColorBox(QWidget* Parent) : QComboBox(Parent) {
    static const struct {
        TColor Color;
        const char* Name;
    } standard[] = {
        {0x000000, "Black"},  {0x000080, "Maroon"},  {0x008000, "Green"}, {0x008080, "Olive"},
        {0x800000, "Navy"},   {0x800080, "Purple"},  {0x808000, "Teal"},  {0x808080, "Gray"},
        {0xC0C0C0, "Silver"}, {0x0000FF, "Red"},     {0x00FF00, "Lime"},  {0x00FFFF, "Yellow"},
        {0xFF0000, "Blue"},   {0xFF00FF, "Fuchsia"}, {0xFFFF00, "Aqua"},  {0xFFFFFF, "White"},
    };
    for (const auto& c : standard)
        AddColor(c.Color, QString::fromLatin1(c.Name));
    setCurrentIndex(-1);
}

void TColorBox::AddColor(TColor Color, const QString& Name) {
    QPixmap swatch(16, 12);
    swatch.fill(ToQColor(Color));
    QPainter(&swatch).drawRect(0, 0, 15, 11);
    addItem(QIcon(swatch), Name, QVariant::fromValue(static_cast<uint>(Color)));
}

TColor TColorBox::Selected() const {
    return currentIndex() < 0 ? TColor{0} : Colors(currentIndex());
}

TColor TColorBox::Colors(int Index) const {
    return static_cast<TColor>(itemData(Index).toUInt());
}

void TColorBox::SetSelected(TColor Color) {
    Color &= 0xFFFFFF;
    int index = findData(QVariant::fromValue(static_cast<uint>(Color)));
    if (index < 0) {
        AddColor(Color, ToQColor(Color).name(QColor::HexRgb).toUpper());
        index = count() - 1;
    }
    setCurrentIndex(index);
}

// ---- TDateTimePicker

TDateTimePicker::TDateTimePicker(QWidget* Parent)
    : QWidget(Parent), FCheck(new QCheckBox(this)), FEdit(new QDateEdit(this)),
      FDateTime(QDateTime::currentDateTime()) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(FCheck);
    layout->addWidget(FEdit, 1);
    FCheck->setChecked(true);
    FCheck->hide();
    FEdit->setCalendarPopup(true);
    FEdit->setDisplayFormat(ShortDateFormat());
    FEdit->setDate(FDateTime.date());
    connect(FEdit, &QDateEdit::userDateChanged, this, [this](QDate d) {
        if (d == FDateTime.date()) return;
        FDateTime.setDate(d);
        Changed();
    });
    connect(FCheck, &QCheckBox::clicked, this, [this] {
        FEdit->setEnabled(Checked());
        Changed();
    });
}

void TDateTimePicker::SetDateTime(const QDateTime& Value) {
    FDateTime = Value;
    const QSignalBlocker quiet(FEdit);
    FEdit->setDate(Value.date());
}

void TDateTimePicker::SetDate(QDate Value) {
    SetDateTime(QDateTime(Value, FDateTime.time()));
}

bool TDateTimePicker::ShowCheckbox() const {
    return !FCheck->isHidden();
}

void TDateTimePicker::SetShowCheckbox(bool Show) {
    FCheck->setHidden(!Show);
    FEdit->setEnabled(!Show || Checked());
}

bool TDateTimePicker::Checked() const {
    return FCheck->isChecked();
}

void TDateTimePicker::SetChecked(bool Checked) {
    FCheck->setChecked(Checked);
    FEdit->setEnabled(!ShowCheckbox() || Checked);
}

void TDateTimePicker::Changed() {
    emit Change();
    DispatchEvent(OnChange, this);
}
