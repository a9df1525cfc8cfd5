# Turns the demo mailbox description into a C++ source file.
file(READ ${INPUT} QM_DEMO_JSON)
string(LENGTH "${QM_DEMO_JSON}" QM_DEMO_LENGTH)
file(WRITE ${OUTPUT} "// Made at build time from cli/demo/demo-mailbox.json.\n"
  "namespace quillmere::cli { extern const char kDemoMailboxJson[] = R\"demo(${QM_DEMO_JSON})demo\"; }\n")
