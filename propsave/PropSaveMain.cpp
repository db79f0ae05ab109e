// TPropSaveMain: the form saver.
#include "propsave/PropSaveMain.h"

namespace {

// A window of fixed size keeps its designed size; only its place is restored.
bool KeepsDesignedSize(const TForm& Form) {
    const TFormBorderStyle border = Form.BorderStyle();
    return Form.WindowState() == wsNormal &&
           (border == bsNone || border == bsSingle || border == bsDialog);
}

} // namespace

TPropSaveMain::TPropSaveMain(QObject* Owner)
    : TComponent(Owner), FOwnerForm(qobject_cast<TForm*>(Owner)),
      FCtrlPosition(new TPositionPropSave(this)), FStdCtrl(new TStdCtrlPropSave(this)) {
    FCtrlPosition->setObjectName(QStringLiteral("CtrlPosition"));
    FCtrlPosition->SetPropSaveMain(this);
    FStdCtrl->setObjectName(QStringLiteral("StdCtrl"));
    FStdCtrl->SetPropSaveMain(this);
}

void TPropSaveMain::Loaded() {
    if (!FOwnerForm || PropSaveEvents == pseNone) return;
    TForm& form = *FOwnerForm;
    // The hooks outlive nothing they need: when this saver is gone they only
    // call the handler they replaced.
    const QPointer<TPropSaveMain> self(this);
    using Method = void (TPropSaveMain::*)(QObject*, const TNotifyEvent&);
    auto hook = [&self](TNotifyEvent& Slot, Method Hook) {
        Slot = [self, Hook, saved = Slot](QObject* Sender) {
            if (self)
                (self.data()->*Hook)(Sender, saved);
            else if (saved)
                saved(Sender);
        };
    };
    const bool createDestroy = PropSaveEvents == pseFormCreateDestroy;
    hook(createDestroy ? form.OnCreate : form.OnShow, &TPropSaveMain::ReadHandler);
    hook(createDestroy ? form.OnDestroy : form.OnHide, &TPropSaveMain::WriteHandler);
    hook(form.OnActivate, &TPropSaveMain::ActivateHandler);
}

void TPropSaveMain::ReadHandler(QObject* Sender, const TNotifyEvent& Saved) {
    if (!FReadDone) ReadWriteProperties(false);
    FReadDone = true;
    if (Saved) Saved(Sender);
}

void TPropSaveMain::WriteHandler(QObject* Sender, const TNotifyEvent& Saved) {
    if (Saved) Saved(Sender);
    ReadWriteProperties(true);
    FReadDone = false;
}

void TPropSaveMain::ActivateHandler(QObject* Sender, const TNotifyEvent& Saved) {
    if (FOwnerForm) {
        if (FRestorePending) {
            FRestorePending = false;
            const TRect& r = FRestoreRect;
            // A window of fixed size only moves: its size was set back to the
            // designed one, which the outer size read before the window had
            // its frame does not say.
            if (KeepsDesignedSize(*FOwnerForm))
                FOwnerForm->MoveTo(r.Left, r.Top);
            else
                FOwnerForm->SetBounds(r);
        }
        if (FMaximizePending) {
            FMaximizePending = false;
            FOwnerForm->SetWindowState(wsMaximized);
        }
    }
    if (Saved) Saved(Sender);
}

QString TPropSaveMain::GetFormKey() const {
    if (!FormKey.isEmpty() || !FOwnerForm) return FormKey;
    return FOwnerForm->objectName();
}

bool TPropSaveMain::HasSavedPosition() const {
    return FPropSaveFile && !FPropSaveFile->DisableAll &&
           FPropSaveFile->SectionExists(TPositionPropSave::PositionSection(GetFormKey()));
}

void TPropSaveMain::ReadWriteProperties(bool Write) {
    FRestorePending = false;
    TForm* form = FOwnerForm;
    TPropSaveFile* file = FPropSaveFile;
    if (!form || !file || file->DisableAll) return;
    const QString key = GetFormKey();

    if (FormSavePos) {
        const QString section = TPositionPropSave::PositionSection(key);
        const QString winMinMax = QStringLiteral("WinMinMax");
        FRestorePending = HasSavedPosition();

        TPositionPropSave position(this);
        position.SetPropSaveMain(this);
        position.LimitToRect = FormLimitToScreen;
        const TRect desktop = VirtualDesktopRect();
        position.LimitRect = {desktop.Left, desktop.Top, desktop.Right, desktop.Bottom, 120};

        if (!Write && FRestorePending) {
            // With the read in OnCreate the platform would otherwise place
            // the window anew when it is first shown.
            if (PropSaveEvents == pseFormCreateDestroy) form->SetPosition(poDesigned);
            if (form->WindowState() != wsNormal) form->SetWindowState(wsNormal);
            // A saved minimized state is not restored: the window opens normal.
            FMaximizePending = file->ReadInteger(section, winMinMax, form->WindowState()) == 2;
        }
        if (Write) file->WriteInteger(section, winMinMax, form->WindowState());

        const QSize designed = form->size();
        // A minimized or maximized window keeps the normal rectangle saved
        // before; only a first save writes what it has.
        if (!Write || form->WindowState() == wsNormal || !FRestorePending)
            position.ReadWriteComponent(Write, *file, key, form);
        // Its client size, not the outer one: the frame may not be known yet.
        if (!Write && KeepsDesignedSize(*form))
            form->SetClientSize(designed.width(), designed.height());
        FRestoreRect = form->BoundsRect();
    }

    FCtrlPosition->ReadWriteComponents(Write);
    FStdCtrl->ReadWriteComponents(Write);
    // Further savers placed on the form and linked to this one.
    for (QObject* c : OwnedComponents(form))
        if (auto* saver = qobject_cast<TCustomPropSave*>(c); saver && saver->PropSaveMain() == this)
            saver->ReadWriteComponents(Write);

    const TOnReadSaveProp& done = Write ? OnSaveProperties : OnReadProperties;
    if (done) done(file, key);
}
