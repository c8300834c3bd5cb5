set(FUZZ_DEPS_fuzz_iec_literals core)
