set(FUZZ_DEPS_fuzz_iec_literals core)
set(FUZZ_DEPS_fuzz_xml core)
