# A region far outside the image: the statistics of the next paint must not
# walk 2^31 columns.
load_I1_files NEW $DataRoot$/I1_08952_3500.tif
set_band_w 0
set_band_h 1
select_region 20 -10 2147483647 100
:for paint $p$ 1 300
:next paint
quit
