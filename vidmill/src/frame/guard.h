// The method guard: every interface method of the library runs its body through RunGuarded, which
// turns a failure into the method's status code plus the thread's error information.
#pragma once

#include <exception>
#include <new>
#include <string>

#include "cbplatform/com_types.h"
#include "frame/error.h"

namespace vidmill {

// Records message as the thread's error information (interface iid, source progId) and returns
// the status: platformCode when it is negative, else E_UNEXPECTED. E_UNEXPECTED without error
// information when the record cannot be created.
HRESULT ReportError(REFIID iid, const char* progId, const std::string& message, HRESULT platformCode);

template <typename Body>
HRESULT RunGuarded(REFIID iid, const char* progId, Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (const Error& error) {
        return ReportError(iid, progId, error.what(), error.platformCode());
    } catch (const std::bad_alloc&) {
        return ReportError(iid, progId, "Out of memory", E_OUTOFMEMORY);
    } catch (const std::exception& error) {
        return ReportError(iid, progId, error.what(), S_OK);
    } catch (...) {
        return ReportError(iid, progId, "Unexpected failure", S_OK);
    }
}

}  // namespace vidmill
