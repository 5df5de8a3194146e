// Dialog services a front end provides: message boxes, the error box, the
// three lookup dialogs and the busy animation.
//
// The screens call the free functions (MessageDlg, ShowError, ...), which go
// to the installed IUiServices. The desktop host installs real dialogs; the
// default is THeadlessServices, which answers from queues a test or a script
// fills and records everything shown, in order.
//
// Headless answers:
//  - a message box takes the oldest queued answer; with none it takes OK, or
//    No for a question (a box with Yes and No), and a note is recorded (an
//    error box is noted too). A box
//    that offers only OK does not consume a queued answer other than "ok".
//    A queued answer the box does not offer falls back to the default (noted).
//  - the error box takes no answer.
//  - a lookup takes the oldest queued pick: "cancel", "KEY=VALUE" (the data
//    set is positioned on the first row whose KEY equals VALUE; none is a
//    cancel, noted) or, for the list lookup, codes "01,03" (each must be a
//    row of the data set; unknown codes are left out, noted), and for the
//    tree lookup a bare account code. With no pick queued it cancels (noted).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

class TDataSource;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll };

class TMsgDlgButtons {
public:
    TMsgDlgButtons() = default;
    TMsgDlgButtons(TMsgDlgBtn b) : bits_(1u << b) {}
    TMsgDlgButtons& operator<<(TMsgDlgBtn b) {
        bits_ |= 1u << b;
        return *this;
    }
    bool Contains(TMsgDlgBtn b) const { return (bits_ & (1u << b)) != 0; }
    bool Empty() const { return bits_ == 0; }

private:
    unsigned bits_ = 0;
};

const char* MsgDlgTypeName(TMsgDlgType t);        // "information", "error", ...
std::string MsgDlgButtonsText(TMsgDlgButtons b);  // "yes,no"
// Modal result of an answer word ("yes", "no", "ok", "cancel"...); 0 if unknown.
int ModalResultOfAnswer(const std::string& word);
const char* AnswerOfModalResult(int mr);

class IUiServices {
public:
    virtual ~IUiServices() = default;
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) = 0;
    virtual void ShowError(const std::string& text) = 0;
    // Single pick; true when a row was picked (the data set stands on it).
    virtual bool Pesquisar(TDataSource* ds, const std::string& title) = 0;
    // Multi pick; true when confirmed; list gets the codes as "_01__03_".
    virtual bool PesquisaLista(TDataSource* ds, const std::string& keyField, const std::string& title,
                               std::string& list) = 0;
    // Account tree; fields[0] is the code field. True when picked: the data set
    // stands on the account and code holds it.
    virtual bool PesqArv(TDataSource* ds, const std::string& picture, const std::vector<std::string>& fields,
                         const std::string& title, std::string& code) = 0;
    virtual void BusyActivate(int kind) = 0;
    virtual void BusyDeactivate() = 0;
};

// What the headless services showed, in order.
struct TShownItem {
    enum Kind { Message, Error, Lookup, ListLookup, TreeLookup, BusyOn, BusyOff };
    Kind kind = Message;
    std::string text;  // message text or lookup title
    TMsgDlgType type = mtInformation;
    TMsgDlgButtons buttons;
    int helpCtx = 0;
    std::string answer;  // "yes", "ok", "cancel", the pick, ...
    bool fromQueue = false;
};

class THeadlessServices : public IUiServices {
public:
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) override;
    void ShowError(const std::string& text) override;
    bool Pesquisar(TDataSource* ds, const std::string& title) override;
    bool PesquisaLista(TDataSource* ds, const std::string& keyField, const std::string& title,
                       std::string& list) override;
    bool PesqArv(TDataSource* ds, const std::string& picture, const std::vector<std::string>& fields,
                 const std::string& title, std::string& code) override;
    void BusyActivate(int kind) override;
    void BusyDeactivate() override;

    // Queues: answers for message boxes ("yes", "no", "ok", "cancel"), picks
    // for lookups ("cancel", "KEY=VALUE", "01,03", a code).
    void QueueAnswer(const std::string& answer) { answers_.push_back(answer); }
    void QueuePick(const std::string& pick) { picks_.push_back(pick); }
    std::size_t PendingAnswers() const { return answers_.size(); }
    std::size_t PendingPicks() const { return picks_.size(); }

    const std::vector<TShownItem>& Shown() const { return shown_; }
    // Message and error boxes not yet taken by TakeMessage, oldest first.
    bool HasUncheckedMessage() const;
    // The oldest unchecked message or error box; false when none.
    bool TakeMessage(TShownItem& out);
    int BusyDepth() const { return busy_; }
    void Clear();

    // A line for every default taken or refused answer ("sem resposta: ...").
    std::function<void(const std::string&)> OnNote;

private:
    std::deque<std::string> answers_, picks_;
    std::vector<TShownItem> shown_;
    std::size_t checked_ = 0;  // index in shown_ of the next message to check
    int busy_ = 0;
    void note(const std::string& text);
    bool takePick(const std::string& what, std::string& pick);
};

// The installed services (the headless default unless a front end set one).
IUiServices& Services();
void SetServices(IUiServices* services);  // nullptr restores the default
THeadlessServices& HeadlessServices();    // the default instance

// What the screens call.
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx);
void ShowMessage(const std::string& text);
void ShowError(const std::string& text);

// Guard for the busy animation.
class TBusyGuard {
public:
    explicit TBusyGuard(int kind) { Services().BusyActivate(kind); }
    ~TBusyGuard() { Services().BusyDeactivate(); }
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;
};
