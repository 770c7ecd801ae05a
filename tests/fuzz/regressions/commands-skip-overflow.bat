# A skip of the largest int after a cut: the loader's next file number must
# not overflow.
cut_f_i1 1
skip_i1 2147483647
load_I1_files NEW $DataRoot$/I1_08952_3500.tif $DataRoot$/I1_08968_8000.tif $DataRoot$/I1_08976_1500.tif
seek_image 0
quit
