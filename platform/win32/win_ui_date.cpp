// Date pickers: the system's drop-down calendar in its short date form.
#include "platform/win32/win_ui.h"

namespace q::win32::uidetail {

namespace {

class DatePickerPeer : public ControlPeer {
public:
    explicit DatePickerPeer(DatePicker& d) : ControlPeer(d), picker_(d) {
        static const bool classes = [] {
            INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_DATE_CLASSES};
            return InitCommonControlsEx(&icc) != FALSE;
        }();
        (void)classes;
        create(DATETIMEPICK_CLASSW, DTS_SHORTDATEFORMAT | WS_TABSTOP);
        sync_all();
    }
    void sync_all() override {
        apply(Prop::Value);
        apply_font();
    }
    void apply(Prop what) override {
        if (what != Prop::Value) return ControlPeer::apply(what);
        Sync s(*this);
        const DateTime& d = picker_.date();
        SYSTEMTIME st{};
        st.wYear = static_cast<WORD>(d.year);
        st.wMonth = static_cast<WORD>(d.month);
        st.wDay = static_cast<WORD>(d.day);
        st.wDayOfWeek = static_cast<WORD>(d.weekday() - 1);
        DateTime_SetSystemtime(hwnd(), GDT_VALID, &st);
    }
    bool on_notify(NMHDR* n, LRESULT& result) override {
        if (n->code != DTN_DATETIMECHANGE) return false;
        result = 0;
        if (syncing_) return true;
        const auto* c = reinterpret_cast<NMDATETIMECHANGE*>(n);
        if (c->dwFlags != GDT_VALID) return true;
        const AliveToken alive = life_.token();
        picker_.user_pick(DateTime{c->st.wYear, c->st.wMonth, c->st.wDay, 0, 0, 0});
        // A date the object refused goes back to the one it holds.
        if (alive) apply(Prop::Value);
        return true;
    }

private:
    DatePicker& picker_;
};

}  // namespace

std::unique_ptr<Peer> make_date_picker_peer(DatePicker& d) { return std::make_unique<DatePickerPeer>(d); }

}  // namespace q::win32::uidetail
