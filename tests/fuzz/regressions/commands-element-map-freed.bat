# New target elements free the element map the display shows; the next paint
# and the saves of what it shows must not read it.
load_I1_files NEW $DataRoot$/I1_08952_3500.tif $DataRoot$/I1_08968_8000.tif $DataRoot$/I1_08976_1500.tif
analyzer_target_elements Cu
analyzer_elems_select_disp_mode 0
analyzer_select_image 6
select_disp_image 3
:for paint $p$ 1 300
:next paint
analyzer_target_elements Fe
saveDataCfg_save_as_tiff
save_data $DataRoot$/o/y.tif
save_image $DataRoot$/o/y.png
:for paint $p$ 1 300
:next paint
quit
