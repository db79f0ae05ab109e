// The control savers: TCustomPropSave, TPositionPropSave, TStdCtrlPropSave.
#include "propsave/PropSaveMain.h"

#include "complib/BemoCompGlobalCfg.h"
#include "forms/StdCtrls.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

namespace {

[[noreturn]] void AssertFailed(const QString& Text, int Line) {
    throw EAssertionFailed(QStringLiteral("%1 (%2, line %3)")
                               .arg(Text, QStringLiteral("PropSaveMain"), QString::number(Line)));
}

} // namespace

// ---- TCustomPropSave

void TCustomPropSave::ReadWriteComponents(bool Write) {
    if (Disable || !FPropSaveMain) return;
    TForm* form = FPropSaveMain->OwnerForm();
    if (!form || !FPropSaveMain->PropSaveFile()) return;
    for (QString line : Components) {
        const bool recursive = line.endsWith(QLatin1String(".*"));
        if (recursive) line.chop(2);
        // Every name before the last is a component of the form; the last is
        // looked up in the one named just before it.
        QObject* owner = form;
        for (qsizetype dot; owner && (dot = line.indexOf(u'.')) >= 0; line = line.mid(dot + 1))
            owner = FindOwnedComponent(form, line.left(dot));
        if (QObject* found = owner ? FindOwnedComponent(owner, line) : nullptr)
            ProcessComponent(found, recursive, Write);
        else if (!recursive)
            AssertFailed(QStringLiteral("CustomPropSave: component \"%1\" not found.").arg(line),
                         1075);
        else if (owner && line.compare(form->objectName(), Qt::CaseInsensitive) == 0)
            ProcessComponent(form, true, Write);
    }
}

QString TCustomPropSave::GetKeyString(QObject* Component) const {
    if (Component->objectName().isEmpty() || !FPropSaveMain) return QString();
    QString key = FPropSaveMain->GetFormKey();
    if (OnGetKeyString) {
        OnGetKeyString(Component, key);
        return key;
    }
    const TForm* form = FPropSaveMain->OwnerForm();
    QStringList names{Component->objectName()};
    for (QObject* o = ComponentOwner(Component); o && o != form; o = ComponentOwner(o))
        names.prepend(o->objectName());
    names.prepend(key);
    return names.join(u'.');
}

void TCustomPropSave::ProcessComponent(QObject* Component, bool Recursive, bool Write) {
    if (Component->objectName().isEmpty()) return;
    if (!Recursive && !CanSave(Component))
        AssertFailed(QStringLiteral("CustomPropSave: cannot save component \"%1\".")
                         .arg(Component->objectName()),
                     1031);
    TPropSaveFile& file = *FPropSaveMain->PropSaveFile();
    const QString key = GetKeyString(Component);
    if (Write) file.EraseSection(SectionOf(key));
    ReadWriteComponent(Write, file, key, Component);
    if (Recursive && Component->isWidgetType())
        for (QWidget* child : ContainedControls(static_cast<QWidget*>(Component)))
            ProcessComponent(child, true, Write);
}

// ---- TPositionPropSave

bool TPositionPropSave::CanSave(QObject* Component) const {
    return Component->isWidgetType();
}

void TPositionPropSave::ReadWriteComponent(bool Write, TPropSaveFile& File, const QString& Key,
                                           QObject* Component) {
    auto* control = qobject_cast<QWidget*>(Component);
    if (!control) return;
    const QString section = SectionOf(Key);
    TRect b = ControlBounds(control);
    const struct {
        const char* Ident;
        int& Value;
    } keys[] = {{"Left", b.Left}, {"Right", b.Right}, {"Top", b.Top}, {"Bottom", b.Bottom}};
    if (Write) {
        for (const auto& k : keys)
            File.WriteInteger(section, QLatin1String(k.Ident), k.Value);
        return;
    }
    for (const auto& k : keys)
        k.Value = File.ReadInteger(section, QLatin1String(k.Ident), k.Value);
    SetControlBounds(control, LimitToRect ? LimitBounds(b) : b);
}

namespace {

// One axis of LimitBounds: From moved into [Low, High - Min], To cut at High
// and kept at least Min beyond From. A limit narrower than Min wins over High.
void LimitSpan(int& From, int& To, int Low, int High, int Min) {
    if (From > High - Min) From = High - Min;
    if (From < Low) From = Low;
    if (To > High) To = High;
    if (To < From + Min) To = From + Min;
}

} // namespace

TRect TPositionPropSave::LimitBounds(TRect B) const {
    const TLimitRect& L = LimitRect;
    LimitSpan(B.Left, B.Right, L.Left, L.Right, L.MinWidthHeight);
    LimitSpan(B.Top, B.Bottom, L.Top, L.Bottom, L.MinWidthHeight);
    return B;
}

// ---- TStdCtrlPropSave

namespace {

// One control class: whether a component is of it, and how its values are
// read (Write false) or written. Every read takes the current value as its
// default and sets the value through the control's own setter.
struct TCtrlRule {
    bool (*Matches)(const QObject*);
    void (*ReadWrite)(bool Write, TPropSaveFile& F, const QString& S, QObject* C);
};

template <class T> bool Is(const QObject* C) {
    return qobject_cast<const T*>(C) != nullptr;
}

QString NumberedKey(const char* Format, int Index) {
    return QString::fromLatin1(Format).arg(Index);
}

// The items of a list or combo box, unless its name holds the no-store marker.
template <class Box>
void ReadWriteItems(bool Write, TPropSaveFile& F, const QString& S, Box* C, QStringList Items) {
    const QString& marker = BemoCompConfig.PropSaveCfg.NoStoreMarker;
    if (!marker.isEmpty() && C->objectName().contains(marker, Qt::CaseSensitive)) return;
    if (Write) {
        F.WriteStrings(S, Items);
    } else if (F.ReadStrings(S, Items)) {
        C->clear();
        C->addItems(Items);
    }
}

void ReadWriteInt(bool Write, TPropSaveFile& F, const QString& S, const char* Ident, int Current,
                  const std::function<void(int)>& Set) {
    if (Write)
        F.WriteInteger(S, QLatin1String(Ident), Current);
    else
        Set(F.ReadInteger(S, QLatin1String(Ident), Current));
}

void ReadWriteBool(bool Write, TPropSaveFile& F, const QString& S, const QString& Ident,
                   bool Current, const std::function<void(bool)>& Set) {
    if (Write)
        F.WriteBool(S, Ident, Current);
    else
        Set(F.ReadBool(S, Ident, Current));
}

void ReadWriteText(bool Write, TPropSaveFile& F, const QString& S, const QString& Current,
                   const std::function<void(const QString&)>& Set) {
    if (Write)
        F.WriteString(S, QStringLiteral("Text"), Current);
    else
        Set(F.ReadString(S, QStringLiteral("Text"), Current));
}

template <class MemoClass> void Memo(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* memo = static_cast<MemoClass*>(C);
    const QString text = memo->toPlainText();
    QStringList lines = text.isEmpty() ? QStringList() : text.split(u'\n');
    if (Write)
        F.WriteStrings(S, lines);
    else if (F.ReadStrings(S, lines))
        memo->setPlainText(lines.join(u'\n'));
}

void ListBox(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* box = static_cast<QListWidget*>(C);
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->item(i)->text());
    ReadWriteItems(Write, F, S, box, items);
    const auto mode = box->selectionMode();
    if (mode == QAbstractItemView::MultiSelection || mode == QAbstractItemView::ExtendedSelection) {
        for (int i = 0; i < box->count(); ++i)
            ReadWriteBool(Write, F, S, NumberedKey("Selected%1", i), box->item(i)->isSelected(),
                          [box, i](bool v) { box->item(i)->setSelected(v); });
    } else {
        const QList<QListWidgetItem*> selected = box->selectedItems();
        ReadWriteInt(Write, F, S, "ItemIndex", selected.isEmpty() ? -1 : box->row(selected[0]),
                     [box](int v) {
                         if (v >= 0 && v < box->count()) {
                             box->setCurrentRow(v);
                         } else {
                             box->clearSelection();
                             box->setCurrentRow(-1);
                         }
                     });
    }
    if (auto* checks = qobject_cast<TCheckListBox*>(C))
        for (int i = 0; i < checks->count(); ++i)
            ReadWriteBool(Write, F, S, NumberedKey("Checked%1", i), checks->Checked(i),
                          [checks, i](bool v) { checks->SetChecked(i, v); });
}

bool IsComboBox(const QObject* C) {
    return Is<QComboBox>(C) && !Is<TColorBox>(C);
}

void ComboBox(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* box = static_cast<QComboBox*>(C);
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    ReadWriteItems(Write, F, S, box, items);
    if (box->isEditable())
        ReadWriteText(Write, F, S, box->currentText(),
                      [box](const QString& v) { box->setEditText(v); });
    else
        ReadWriteInt(Write, F, S, "ItemIndex", box->currentIndex(),
                     [box](int v) { box->setCurrentIndex(v); });
}

void CheckBox(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    // The file's 0 unchecked, 1 checked, 2 grayed.
    static const Qt::CheckState states[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
    auto* box = static_cast<QCheckBox*>(C);
    const int current = static_cast<int>(
        std::find(std::begin(states), std::end(states), box->checkState()) - std::begin(states));
    ReadWriteInt(Write, F, S, "State", current, [box](int v) {
        if (v >= 0 && v < 3) box->setCheckState(states[v]);
    });
}

void RadioGroup(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* group = static_cast<TRadioGroup*>(C);
    ReadWriteInt(Write, F, S, "ItemIndex", group->ItemIndex(),
                 [group](int v) { group->SetItemIndex(v); });
}

void RadioButton(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* button = static_cast<QRadioButton*>(C);
    ReadWriteBool(Write, F, S, QStringLiteral("Checked"), button->isChecked(), [button](bool v) {
        // Qt keeps the last checked button of an exclusive set checked; a
        // stored "unchecked" is honoured all the same.
        if (!v && button->isChecked() && !button->group()) {
            const bool exclusive = button->autoExclusive();
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(exclusive);
        } else {
            button->setChecked(v);
        }
    });
}

void Edit(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* edit = static_cast<QLineEdit*>(C);
    ReadWriteText(Write, F, S, edit->text(), [edit](const QString& v) { edit->setText(v); });
}

void MenuItem(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* action = static_cast<QAction*>(C);
    ReadWriteBool(Write, F, S, QStringLiteral("Checked"), action->isChecked(),
                  [action](bool v) { action->setChecked(v); });
}

void TabControl(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* tabs = static_cast<QTabBar*>(C);
    ReadWriteInt(Write, F, S, "ItemIndex", tabs->currentIndex(),
                 [tabs](int v) { tabs->setCurrentIndex(v); });
}

void PageControl(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* pages = static_cast<QTabWidget*>(C);
    ReadWriteInt(Write, F, S, "ItemIndex", pages->currentIndex(),
                 [pages](int v) { pages->setCurrentIndex(v); });
}

void ColorBox(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* box = static_cast<TColorBox*>(C);
    ReadWriteInt(Write, F, S, "Color", static_cast<int>(box->Selected()),
                 [box](int v) { box->SetSelected(static_cast<TColor>(v)); });
}

bool IsDatePicker(const QObject* C) {
    return Is<TDateTimePicker>(C) || Is<QDateTimeEdit>(C);
}

void DatePicker(bool Write, TPropSaveFile& F, const QString& S, QObject* C) {
    auto* picker = qobject_cast<TDateTimePicker*>(C);
    auto* edit = qobject_cast<QDateTimeEdit*>(C);
    const QDateTime day(picker ? picker->Date() : edit->date(), QTime(0, 0));
    if (Write) {
        F.WriteDateTime(S, QStringLiteral("Date"), day);
    } else {
        const QDate d = F.ReadDateTime(S, QStringLiteral("Date"), day).date();
        if (picker)
            picker->SetDate(d);
        else
            edit->setDate(d);
    }
    if (picker && picker->ShowCheckbox())
        ReadWriteBool(Write, F, S, QStringLiteral("DateChecked"), picker->Checked(),
                      [picker](bool v) { picker->SetChecked(v); });
}

const TCtrlRule rules[] = {
    {Is<QPlainTextEdit>, Memo<QPlainTextEdit>},
    {Is<QTextEdit>, Memo<QTextEdit>},
    {Is<QListWidget>, ListBox},
    {IsComboBox, ComboBox},
    {Is<QCheckBox>, CheckBox},
    {Is<TRadioGroup>, RadioGroup},
    {Is<QRadioButton>, RadioButton},
    {Is<QLineEdit>, Edit},
    {Is<QAction>, MenuItem},
    {Is<QTabBar>, TabControl},
    {Is<QTabWidget>, PageControl},
    {Is<TColorBox>, ColorBox},
    {IsDatePicker, DatePicker},
};

const TCtrlRule* RuleFor(const QObject* C) {
    for (const TCtrlRule& r : rules)
        if (r.Matches(C)) return &r;
    return nullptr;
}

} // namespace

bool TStdCtrlPropSave::CanSave(QObject* Component) const {
    return RuleFor(Component) != nullptr;
}

void TStdCtrlPropSave::ReadWriteComponent(bool Write, TPropSaveFile& File, const QString& Key,
                                          QObject* Component) {
    if (const TCtrlRule* rule = RuleFor(Component)) rule->ReadWrite(Write, File, Key, Component);
}
