// The control for the planting test: a program that loads DLLs by bare name
// through the default search order, as a careless program would. If the
// planted DLLs leave their markers here, the test setup is sound.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  int loaded = 0;
  for (int i = 1; i < argc; ++i) {
    if (LoadLibraryW(argv[i])) ++loaded;
  }
  return loaded;
}
