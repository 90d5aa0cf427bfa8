// Imports from kavrin_foreign.dll, which is not one of Windows' own DLLs.
extern "C" __declspec(dllimport) int KavrinForeignAnswer();

int main() { return KavrinForeignAnswer() == 42 ? 0 : 1; }
