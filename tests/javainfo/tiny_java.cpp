// The smallest Windows program: copied into test Java homes as java.exe and javaw.exe.
int wmain() {
  return 0;
}
