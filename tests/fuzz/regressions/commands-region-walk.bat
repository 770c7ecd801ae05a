# A region 2^31 pixels wide: the residual-absorption walk must not ask for
# gigabytes.
load_I1_files NEW $DataRoot$/I1_08952_3500.tif $DataRoot$/I1_08968_8000.tif $DataRoot$/I1_08976_1500.tif
analyzer_select_sub_mode_ra 1
select_region 21 -10 -2147483648 14
analyzer_exec_2da
quit
