Common tags
Paragraph,A paragraph of text,Block Level Elements,<p>,</p>,<p class="">
Heading 1,Main heading of the page,Block Level Elements,<h1>,</h1>,<h1 id="">
Heading 2,Section heading,Block Level Elements,<h2>,</h2>,<h2 id="">
Heading 3,Subsection heading,Block Level Elements,<h3>,</h3>,<h3 id="">
Bold,Bold text,Text Formatting,"<b>","</b>",N/A
Italic,Italic text,Text Formatting,"<i>","</i>",N/A
Strong,Strongly important text,Text Formatting,<strong>,</strong>,N/A
Emphasis,Stressed text,Text Formatting,<em>,</em>,N/A
Link,A link to another page,Text Formatting,<a href="">,</a>,<a href="" title="" target="_blank" rel="noopener">
Image,A picture,In-Line Media,<img src="" alt="">,N/A,<img src="" alt="" width="" height="" loading="lazy">
Line break,Break the line here,Text Formatting,<br>,N/A,N/A
Rule,A horizontal rule,Block Level Elements,<hr>,N/A,N/A
Division,A block container,Block Level Elements,<div>,</div>,<div id="" class="">
Span,An inline container,Text Formatting,<span>,</span>,<span class="">
Bullet list,A list with bullets,Lists,<ul>,</ul>,<ul class="">
Numbered list,A numbered list,Lists,<ol>,</ol>,<ol start="1">
List item,One item of a list,Lists,<li>,</li>,N/A
Table,A table with a border,Tables,<table border="1">,</table>,<table border="1" cellpadding="4" cellspacing="0" width="100%">
Table row,A row of a table,Tables,<tr>,</tr>,N/A
Table cell,A data cell,Tables,<td>,</td>,<td colspan="" rowspan="">
Comment,A comment that the browser does not show,Document Structure Elements,<!-- , -->,N/A
Non-breaking space,A space that never breaks the line,Text Formatting,&nbsp;,N/A,N/A
