int ksx_tmp_probe() { return 0; }
