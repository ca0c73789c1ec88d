Media
Image,A picture,In-Line Media,<img src="" alt="">,N/A,<img src="" alt="" width="" height="" loading="lazy">
Figure,An image with a caption,In-Line Media,<figure>,</figure>,<figure><img src="" alt=""><figcaption></figcaption>
Picture,An image in several formats,In-Line Media,<picture>,</picture>,<picture><source srcset="" type="image/webp">
Audio,Sound with controls,In-Line Media,<audio src="" controls>,</audio>,<audio controls preload="metadata"><source src="" type="audio/mpeg">
Video,A video with controls,In-Line Media,<video src="" controls>,</video>,<video width="640" height="360" controls poster=""><source src="" type="video/mp4">
Inline frame,Another page inside this one,Frames,<iframe src="" title="">,</iframe>,<iframe src="" title="" width="" height="" loading="lazy">
Image map,Clickable areas of an image,In-Line Media,<map name="">,</map>,N/A
Map area,One clickable area,In-Line Media,<area shape="rect" coords="" href="" alt="">,N/A,N/A
