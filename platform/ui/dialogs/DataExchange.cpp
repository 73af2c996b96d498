#include "platform/ui/dialogs/DataExchange.h"

#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialog.h"

namespace zo::ui {
namespace {

template <typename Handle>
Handle Bind(DataExchange& dx, int id) {
    Handle h;
    h.Attach(dx.ControlWindow(id));
    return h;
}

void ExchangeListString(DataExchange& dx, ItemList& list, std::string& value) {
    if (dx.m_saveAndValidate) {
        int sel = list.GetCurSel();
        value = sel < 0 ? std::string() : list.GetText(sel);
    } else {
        list.SelectString(-1, value);
    }
}

void ExchangeIndex(DataExchange& dx, ItemList& list, int& index) {
    if (dx.m_saveAndValidate) {
        index = list.GetCurSel();
    } else {
        list.SetCurSel(index);
    }
}

}  // namespace

QWidget* DataExchange::ControlWindow(int id) const {
    return m_dialog->ControlWidget(id);
}

void DDX_Control(DataExchange& dx, int id, Control& control) {
    if (!control.IsWindow()) {
        control.Attach(dx.ControlWindow(id));
    }
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
    auto c = Bind<Control>(dx, id);
    if (dx.m_saveAndValidate) {
        value = c.GetWindowText();
    } else {
        c.SetWindowText(value);
    }
}

void DDX_Check(DataExchange& dx, int id, int& value) {
    auto b = Bind<Button>(dx, id);
    if (dx.m_saveAndValidate) {
        value = b.GetCheck();
    } else {
        b.SetCheck(value);
    }
}

void DDX_Check(DataExchange& dx, int id, bool& value) {
    int v = value ? 1 : 0;
    DDX_Check(dx, id, v);
    value = v != 0;
}

void DDX_LBString(DataExchange& dx, int id, std::string& value) {
    auto l = Bind<ListBox>(dx, id);
    ExchangeListString(dx, l, value);
}

void DDX_CBString(DataExchange& dx, int id, std::string& value) {
    auto c = Bind<ComboBox>(dx, id);
    ExchangeListString(dx, c, value);
}

void DDX_LBIndex(DataExchange& dx, int id, int& index) {
    auto l = Bind<ListBox>(dx, id);
    ExchangeIndex(dx, l, index);
}

void DDX_CBIndex(DataExchange& dx, int id, int& index) {
    auto c = Bind<ComboBox>(dx, id);
    ExchangeIndex(dx, c, index);
}

}  // namespace zo::ui
