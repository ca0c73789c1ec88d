List
"Quoted","d","c","<a href="x">","</a>","N/A"
short
x