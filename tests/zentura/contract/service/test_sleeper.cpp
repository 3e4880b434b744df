// Waits a minute and ends: a process for the tests to find and terminate.
#include <windows.h>

int main() {
  ::Sleep(60000);
  return 0;
}
