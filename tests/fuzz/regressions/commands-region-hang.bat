# A region 2^31 rows high: the element walk must end.
load_I1_files NEW $DataRoot$/I1_08952_3500.tif
analyzer_select_sub_mode_elems 1
select_region 11 -2147483648 22 0
analyzer_exec_elems
quit
