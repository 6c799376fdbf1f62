// The benchmarks that need no display.

#include "RatioReporter.h"

int main(int argc, char** argv) {
    return RunWithRatios(argc, argv,
                         {{"BM_LayOutFullBox/", "BM_InsertKeysIntoMap/"},
                          {"BM_NewGame/", "BM_InsertKeysIntoMap/"},
                          {"BM_FloodWholeBox/", "BM_NewGame/"},
                          {"BM_FloodAtDefaultDensity/", "BM_NewGame/"},
                          {"BM_Loss/", "BM_NewGame/"},
                          {"BM_LoadReplay/", "BM_NewGame/"},
                          {"BM_Analyse/", "BM_NewGame/"},
                          {"BM_ResumeGame/", "BM_NewGame/"}});
}
