#include "common/win32/program_startup.h"

#include <objbase.h>

#include "common/log.h"
#include "common/win32/log_last_error.h"

namespace kanopa {

ComApartment::ComApartment()
    : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {
    if (FAILED(m_hr)) {
        WriteLog("Main()", "CoInitializeEx failed: " + LastErrorText(static_cast<DWORD>(m_hr)));
    }
}

ComApartment::~ComApartment() {
    if (SUCCEEDED(m_hr)) CoUninitialize();
}

bool ClaimSingleInstance(const wchar_t* name, UniqueMutex& mutex) {
    mutex.Reset(CreateMutexW(nullptr, FALSE, name));
    const DWORD error = GetLastError();
    if (mutex && error != ERROR_ALREADY_EXISTS) return true;
    if (!mutex && error != ERROR_ACCESS_DENIED) {
        // Not a sign of another instance (that would be access denied): run unguarded.
        LogLastError("Main()", "CreateMutexW", error);
        return true;
    }
    return false;
}

}  // namespace kanopa
