#include "calc/dialogue.h"
#include "textio/runtime.h"

int main(int argc, char** argv) {
    textio::RuntimeStartup();
    calc::RunDialogue(argc, argv);
}
