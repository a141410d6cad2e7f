#pragma once
// Start-up pieces both programs share: the thread's COM apartment and the named mutex
// that keeps a program to one instance per logon session.
#include <windows.h>

#include "common/win32/unique_handle.h"

namespace kanopa {

// The thread's single-threaded COM apartment (the shell's objects and the file dialogs
// want one), left when the object goes.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_hr;
};

// True when this is the only instance holding the mutex `name`; `mutex` then keeps it
// so. An unexpected failure (anything but "already exists", or "access denied" for a
// mutex another user's instance made) is logged and counts as the only instance.
bool ClaimSingleInstance(const wchar_t* name, UniqueMutex& mutex);

}  // namespace kanopa
