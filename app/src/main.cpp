#include "startup/startup.h"

int main(int argc, char** argv) { return app::RunApplication(argc, argv); }
