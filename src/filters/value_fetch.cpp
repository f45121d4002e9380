#include "value_fetch.h"

#include <new>

#include "dialogs/wait_dialog.h"

namespace {

// The wait dialog of this thread's fetch: another thread's is not ours to find.
thread_local CWaitDialog* g_activeWait = nullptr;

// Makes the wait dialog findable for as long as the fetch owns it.
class ActiveWait {
  public:
    explicit ActiveWait(CWaitDialog* wait) : previous_(g_activeWait) { g_activeWait = wait; }
    ~ActiveWait() { g_activeWait = previous_; }
    ActiveWait(const ActiveWait&) = delete;
    ActiveWait& operator=(const ActiveWait&) = delete;

  private:
    CWaitDialog* previous_;
};

}  // namespace

HWND ActiveFetchWaitWindow() {
    return g_activeWait && g_activeWait->IsWindow() ? g_activeWait->m_hWnd : nullptr;
}

ValueFetch FetchFilterValues(CWnd* parent, CDTOwner& owner, ZevDTAPIColumn* column, CStringList& values) {
    int running = 1;
    CString title, message;
    title.LoadString(IDS_APP_TITLE);
    message.LoadString(IDS_GETTING_DATA);
    CWaitDialog wait(parent, nullptr, title, message, FALSE);
    wait.SetCancelFlag(&running);
    ActiveWait active(&wait);
    wait.PumpWaitingMessages();

    while (running != 0) {
        char** batch = nullptr;
        int32_t count = 0;
        if (owner.GetFilterData(column, &batch, &count) != 0) {
            owner.ShowLibraryError();
            // Whatever count a failed call leaves behind, calling again could
            // repeat the failure without end: the fetch stops here.
            wait.PumpWaitingMessages();
            break;
        }
        wait.PumpWaitingMessages();
        for (int32_t i = 0; batch && i < count && running == 1; ++i) {
            try {
                values.AddTail(CString(batch[i]));
            } catch (const std::bad_alloc&) {
                AfxMessageBox(IDS_ADD_VALUE_FAILED);
                break;
            }
            wait.PumpWaitingMessages();
        }
        wait.PumpWaitingMessages();
        // A batch that holds nothing ends the list, whatever the count says:
        // asking again could go on without end.
        if (!batch || count <= 0)
            break;
    }
    wait.Close();
    return running == 0 ? ValueFetch::Cancelled : ValueFetch::Finished;
}
