// Resource ids shared by kavrin.rc and the code; plain #defines, as the
// resource compiler reads only the preprocessor.
#pragma once

#define IDI_KAVRIN 1
