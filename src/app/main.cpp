#include "app/startup.h"

int main(int, char**) {
    return runProgram();
}
