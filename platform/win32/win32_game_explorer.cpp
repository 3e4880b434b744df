#include "platform/win32/win32_game_explorer.h"

#include <windows.h>
#include <wbemcli.h>

#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

const CLSID kWbemLocatorClass = {0x4590f811, 0x1d3a, 0x11d0, {0x89, 0x1f, 0x00, 0xaa, 0x00, 0x4b, 0x2e, 0x24}};

template <typename T>
struct Com {
  T* p = nullptr;
  ~Com() {
    if (p) p->Release();
  }
};

struct Bstr {
  explicit Bstr(const wchar_t* s) : b(::SysAllocString(s)) {}
  ~Bstr() { ::SysFreeString(b); }
  BSTR b;
};

// The property converted to text; false when it cannot be read.
bool Property(IWbemClassObject* o, const wchar_t* name, Text* out) {
  VARIANT v;
  ::VariantInit(&v);
  bool ok = SUCCEEDED(o->Get(name, 0, &v, nullptr, nullptr));
  if (ok && v.vt != VT_BSTR) ok = SUCCEEDED(::VariantChangeType(&v, &v, 0, VT_BSTR));
  if (ok) *out = v.bstrVal ? FromW(v.bstrVal) : Text();
  ::VariantClear(&v);
  return ok;
}

class Win32GameExplorer : public GameExplorer {
 public:
  std::vector<GameExplorerEntry> Games() override {
    std::vector<GameExplorerEntry> games;
    HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
      Com<IWbemLocator> locator;
      Com<IWbemServices> services;
      Com<IEnumWbemClassObject> rows;
      Bstr ns(L"root\\cimv2\\applications\\games"), wql(L"WQL"), query(L"select * from game");
      if (SUCCEEDED(::CoCreateInstance(kWbemLocatorClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWbemLocator),
                                       reinterpret_cast<void**>(&locator.p))) &&
          SUCCEEDED(locator.p->ConnectServer(ns.b, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services.p)) &&
          SUCCEEDED(services.p->ExecQuery(wql.b, query.b, WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, &rows.p))) {
        for (;;) {
          Com<IWbemClassObject> row;
          ULONG n = 0;
          if (rows.p->Next(static_cast<LONG>(WBEM_INFINITE), 1, &row.p, &n) != WBEM_S_NO_ERROR || n == 0) break;
          GameExplorerEntry game;
          if (!Property(row.p, L"GameInstallPath", &game.installPath) || !Property(row.p, L"name", &game.name) ||
              !Property(row.p, L"GDFBinaryPath", &game.binaryPath)) {
            break;
          }
          games.push_back(game);
        }
      }
    }
    if (SUCCEEDED(init)) ::CoUninitialize();
    return games;
  }
};

}  // namespace

std::unique_ptr<GameExplorer> MakeWin32GameExplorer() { return std::make_unique<Win32GameExplorer>(); }

}  // namespace platform::win32
