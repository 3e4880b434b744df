#include <windows.h>
#include <wbemcli.h>

#include <vector>

#include "platform/processes.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// CLSID_WbemLocator, defined here so that no import library is needed for it.
const CLSID kWbemLocator = {0x4590f811, 0x1d3a, 0x11d0, {0x89, 0x1f, 0x00, 0xaa, 0x00, 0x4b, 0x2e, 0x24}};

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() { return p; }
};

struct Bstr {
  explicit Bstr(const wchar_t* s) : b(::SysAllocString(s)) {}
  ~Bstr() { ::SysFreeString(b); }
  BSTR b;
};

struct Variant {
  VARIANT v;
  Variant() { ::VariantInit(&v); }
  ~Variant() { ::VariantClear(&v); }
};

bool GetText(IWbemClassObject* o, const wchar_t* name, Text* out, bool* isNull = nullptr) {
  Variant v;
  if (FAILED(o->Get(name, 0, &v.v, nullptr, nullptr))) return false;
  if (isNull) *isNull = v.v.vt == VT_NULL || v.v.vt == VT_EMPTY;
  *out = v.v.vt == VT_BSTR && v.v.bstrVal ? FromW(v.v.bstrVal) : Text();
  return true;
}

bool GetNumber(IWbemClassObject* o, const wchar_t* name, uint32_t* out) {
  Variant v;
  if (FAILED(o->Get(name, 0, &v.v, nullptr, nullptr))) return false;
  if (FAILED(::VariantChangeType(&v.v, &v.v, 0, VT_UI4))) return false;
  *out = v.v.ulVal;
  return true;
}

bool ReadOne(IWbemServices* services, IWbemClassObject* o, WmiProcess* w) {
  if (!GetNumber(o, L"ProcessId", &w->processId)) return false;
  bool isNull = true;
  if (!GetText(o, L"ExecutablePath", &w->executablePath, &isNull)) return false;
  w->hasExecutablePath = !isNull;
  Text path;
  if (!GetText(o, L"__PATH", &path)) return false;
  Bstr objectPath(W(path)), method(L"GetOwner");
  ComPtr<IWbemClassObject> out;
  if (FAILED(services->ExecMethod(objectPath.b, method.b, 0, nullptr, nullptr, &out, nullptr)) ||
      !out.p) {
    return false;
  }
  if (!GetNumber(out.p, L"ReturnValue", &w->ownerResult)) return false;
  GetText(out.p, L"User", &w->ownerUser);
  GetText(out.p, L"Domain", &w->ownerDomain);
  return true;
}

}  // namespace

bool QueryWmiProcesses(std::vector<WmiProcess>* processes) {
  processes->clear();
  HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool ok = false;
  {
    ComPtr<IWbemLocator> locator;
    ComPtr<IWbemServices> services;
    ComPtr<IEnumWbemClassObject> rows;
    Bstr ns(L"root\\cimv2"), wql(L"WQL"), query(L"select * from Win32_Process");
    if (SUCCEEDED(::CoCreateInstance(kWbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                     __uuidof(IWbemLocator), reinterpret_cast<void**>(&locator))) &&
        SUCCEEDED(locator->ConnectServer(ns.b, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                         &services))) {
      ::CoSetProxyBlanket(services.p, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                          RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
      if (SUCCEEDED(services->ExecQuery(wql.b, query.b,
                                        WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY,
                                        nullptr, &rows))) {
        ok = true;
        for (;;) {
          ComPtr<IWbemClassObject> row;
          ULONG n = 0;
          if (rows->Next(static_cast<LONG>(WBEM_INFINITE), 1, &row, &n) != WBEM_S_NO_ERROR || n == 0) break;
          WmiProcess w;
          // A process that fails here is left out, as if it had ended.
          if (ReadOne(services.p, row.p, &w)) processes->push_back(w);
        }
      }
    }
  }
  if (SUCCEEDED(init)) ::CoUninitialize();
  return ok;
}

}  // namespace platform::win32
