// The DLL that makes foreign_import.exe fail the release's import check.
extern "C" __declspec(dllexport) int KavrinForeignAnswer() { return 42; }
