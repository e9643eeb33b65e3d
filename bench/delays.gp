# Cumulative distributions of the hide and show delays next to the design
# floor (a pass every 100 ms: delays spread evenly over 0..100 ms).
# gnuplot -e "datadir='...'; outfile='...'" delays.gp
set terminal pngcairo size 640,400 font ",10"
set output outfile
set title "Taskbar hide/show delay after a full-screen window appears/disappears"
set xlabel "delay (ms)"
set ylabel "fraction of changes"
set xrange [0:130]
set yrange [0:1]
set grid
set key top left
set arrow from 105, graph 0 to 105, graph 1 nohead dashtype 2 lc rgb "#aa0000"
set label "p95 target (105 ms)" at 104, 0.3 rotate by 90 tc rgb "#aa0000"
set arrow from 120, graph 0 to 120, graph 1 nohead dashtype 3 lc rgb "#aa0000"
set label "max target (120 ms)" at 119, 0.3 rotate by 90 tc rgb "#aa0000"
$floor << EOD
0 0
100 1
130 1
EOD
plot datadir."/hide.dat" using 1:2 with steps lw 2 title "hide delay", \
     datadir."/show.dat" using 1:2 with steps lw 2 title "show delay", \
     $floor using 1:2 with lines dashtype 2 lc rgb "gray40" title "design floor (uniform 0..100 ms)"
