/* A module that only carries resources: the test payloads. */
int pictavoTestModule;
